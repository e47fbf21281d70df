# Boot-up Settings in the dialog and in the real tool, clicked with real input.
velmora_test(bootup_test ${CMAKE_CURRENT_LIST_DIR}/bootup_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/dialog_support.cpp ${CMAKE_CURRENT_LIST_DIR}/list_support.cpp
             ${CMAKE_CURRENT_LIST_DIR}/window_support.cpp LIBS app LOCK desktop)
add_dependencies(bootup_test gpioconfig)
