# Pin activity: the real tool with gpiosim's pulse trains, the dialog's Activity cells and
# export, read back by sigrok-cli; the ring and the VCD text.
velmora_test(activity_test ${CMAKE_CURRENT_LIST_DIR}/activity_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/dialog_support.cpp ${CMAKE_CURRENT_LIST_DIR}/list_support.cpp
             ${CMAKE_CURRENT_LIST_DIR}/window_support.cpp LIBS app LOCK desktop)
add_dependencies(activity_test gpioconfig gpiosim)
