velmora_test(platform_test ${CMAKE_CURRENT_LIST_DIR}/platform_test.cpp LIBS gpiolib)
