# The real tool driven with real input; it stores its preferences on closing.
velmora_test(window_test ${CMAKE_CURRENT_LIST_DIR}/window_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/window_support.cpp LIBS gpiolib LOCK desktop)
add_dependencies(window_test gpioconfig gpiosim)
