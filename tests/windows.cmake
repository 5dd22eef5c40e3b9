# The core suite cross-built for Windows and run through Wine (see tools/windows-test.sh).
# GoogleTest is built from the sources Debian's libgtest-dev ships: there is no MinGW build of it.
set(VBGEN_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${VBGEN_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Left out here, as they need what only POSIX offers: the suites that drive vbgen-cli through
# a shell (quoting, redirections, env, waitpid's exit statuses: Cli*, ImportSqlCli), the
# complete mode's and the script's checks through other programs (popen: CompleteMode,
# SqlScript) and the killed runs and planted symbolic links of RunSafety (fork, kill). The
# Windows program's output is compared with the Linux program's by tools/windows-test.sh, and
# the Windows rules of the project directory have their own tests (WindowsNamesTest).
add_executable(vbgen_core_tests
  core/AddEditFormsTest.cpp
  core/AutoCodeTest.cpp
  core/BackgroundWriterTest.cpp
  core/BlockBlanksTest.cpp
  core/CodecTest.cpp
  core/CompleteEntryFormsTest.cpp
  core/CompleteManageKeysTest.cpp
  core/DbHelperTest.cpp
  core/FileOperateTest.cpp
  core/Golden.cpp
  core/ExampleGoldenTest.cpp
  core/GoldenTest.cpp
  core/ManageFormTest.cpp
  core/MemberDAOTest.cpp
  core/ModelCheckTest.cpp
  core/ModelFileTest.cpp
  core/ModelSnapshotTest.cpp
  core/OperatorFormTest.cpp
  core/ProjectAssemblyTest.cpp
  core/ProjectClassDAOTest.cpp
  core/RulesTest.cpp
  core/RunRecordTest.cpp
  core/ShippedDataTest.cpp
  core/SqlImportScriptsTest.cpp
  core/SqlImportTest.cpp
  core/SqlReaderTest.cpp
  core/TextTest.cpp
  core/WindowsNamesTest.cpp)
target_link_libraries(vbgen_core_tests PRIVATE vbgen_core vbgen_warnings gtest gtest_main)
# Wine shows the build machine's / as drive Z:, where the sources and the build are.
target_compile_definitions(vbgen_core_tests PRIVATE
  VBGEN_SOURCE_DIR="Z:${CMAKE_SOURCE_DIR}"
  VBGEN_PROGRAM_DIR="Z:${VBGEN_PROGRAM_DIR}"
  VBGEN_CLI="Z:$<TARGET_FILE:vbgen-cli>"
  VBGEN_VERSION="${PROJECT_VERSION}")
add_dependencies(vbgen_core_tests vbgen-cli vbgen_data)
# Built when asked for (tools/windows-test.sh), not for the zip.
set_target_properties(vbgen_core_tests PROPERTIES EXCLUDE_FROM_ALL ON)
add_test(NAME core_tests COMMAND vbgen_core_tests)
set_tests_properties(core_tests PROPERTIES TIMEOUT 1800)
