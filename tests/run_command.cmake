# The run command on a machine without a display, for modules the tool refuses.
add_test(NAME RunCommand.RefusedStartEndsWithItsMessageAndExitCode1
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/run_refused.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(RunCommand.RefusedStartEndsWithItsMessageAndExitCode1 PROPERTIES TIMEOUT 300)

# The run command keeps each simulated module's preferences apart. Alone: its run with a window
# uses the tests' display.
add_test(NAME RunCommand.EachModuleKeepsItsOwnPreferences
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/run_prefs.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(RunCommand.EachModuleKeepsItsOwnPreferences PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
