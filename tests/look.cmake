# The tool's window as a user sees it: fonts and whole labels.
velmora_test(look_test ${CMAKE_CURRENT_LIST_DIR}/look_test.cpp LIBS comctl32 LOCK desktop)
add_dependencies(look_test gpioconfig)
