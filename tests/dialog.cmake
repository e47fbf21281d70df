# The main dialog in the test's process, clicked with real input: one at a time on the display.
velmora_test(dialog_test ${CMAKE_CURRENT_LIST_DIR}/dialog_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/dialog_support.cpp ${CMAKE_CURRENT_LIST_DIR}/list_support.cpp
             LIBS app LOCK desktop)
add_dependencies(dialog_test gpioconfig)
