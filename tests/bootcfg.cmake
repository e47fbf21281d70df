# Boot-up Settings inside the process: a stand-in dialog shows the commands' message boxes.
velmora_test(bootcfg_test ${CMAKE_CURRENT_LIST_DIR}/bootcfg_test.cpp LIBS app)
