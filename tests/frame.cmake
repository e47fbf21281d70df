velmora_test(frame_test ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp LIBS gpiolib)
