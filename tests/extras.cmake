# Copy, the keyboard's menu, highlighted changes and the rest while minimised, in the real
# dialog clicked with real input.
velmora_test(extras_test ${CMAKE_CURRENT_LIST_DIR}/extras_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/dialog_support.cpp ${CMAKE_CURRENT_LIST_DIR}/list_support.cpp
             LIBS app LOCK desktop)
add_dependencies(extras_test gpioconfig)
