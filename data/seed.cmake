# Creates the program directory's projects.db from the example project when there is none;
# an existing database is never replaced.
if(NOT EXISTS "${HOME}/projects.db")
  execute_process(COMMAND "${CLI}" --home "${HOME}" import "${EXAMPLE}"
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE messages)
  if(NOT result EQUAL 0)
    file(REMOVE "${HOME}/projects.db")
    message(FATAL_ERROR "Could not create projects.db from ${EXAMPLE}: ${messages}")
  endif()
endif()
