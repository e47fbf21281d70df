velmora_test(pxa_test ${CMAKE_CURRENT_LIST_DIR}/pxa_test.cpp LIBS gpiolib)
