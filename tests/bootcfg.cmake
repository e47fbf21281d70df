# Boot-up Settings inside the process: a stand-in dialog shows the commands' message boxes.
velmora_test(bootcfg_test ${CMAKE_CURRENT_LIST_DIR}/bootcfg_test.cpp LIBS app LOCK desktop)
# The saved block under bad conditions; runs itself as a child, and gpiosim.
velmora_test(flash_test ${CMAKE_CURRENT_LIST_DIR}/flash_test.cpp LIBS app)
add_dependencies(flash_test gpiosim)
