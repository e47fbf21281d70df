# The "Compare" menu in the real dialog with real input, and the command line's table; the
# latter reads the tool's registry key.
velmora_test(compare_test ${CMAKE_CURRENT_LIST_DIR}/compare_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/dialog_support.cpp ${CMAKE_CURRENT_LIST_DIR}/list_support.cpp
             LIBS app LOCK desktop TIMEOUT 120)
add_dependencies(compare_test gpioconfig)
