# The real tool under abuse: killed at any moment, two instances on one module, a soak.
velmora_test(robust_test ${CMAKE_CURRENT_LIST_DIR}/robust_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/window_support.cpp LIBS app psapi LOCK desktop TIMEOUT 120)
add_dependencies(robust_test gpioconfig gpiosim)
