# The start-up tests run the tool itself and share the prefix's registry: one at a time.
velmora_test(startup_test ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp LOCK desktop)
velmora_test(resource_test ${CMAKE_CURRENT_LIST_DIR}/resource_test.cpp)
add_dependencies(startup_test gpioconfig)
add_dependencies(resource_test gpioconfig)
# Start-up's state inside the process; reads the same registry key.
velmora_test(startup_state_test ${CMAKE_CURRENT_LIST_DIR}/startup_state_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/list_support.cpp LIBS app LOCK desktop)
