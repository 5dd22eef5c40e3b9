# Creates the program directory's projects.db from the example project when there is none;
# an existing database is never replaced. The program seeds a new home itself when the example
# ships beside it; the import is for a program directory that does not ship it.
if(NOT EXISTS "${HOME}/projects.db")
  execute_process(COMMAND "${CLI}" --home "${HOME}" project list
                  RESULT_VARIABLE result OUTPUT_VARIABLE projects ERROR_VARIABLE messages)
  if(result EQUAL 0 AND projects STREQUAL "")
    execute_process(COMMAND "${CLI}" --home "${HOME}" import "${EXAMPLE}"
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE messages)
  endif()
  if(NOT result EQUAL 0)
    file(REMOVE "${HOME}/projects.db")
    message(FATAL_ERROR "Could not create projects.db from ${EXAMPLE}: ${messages}")
  endif()
endif()
