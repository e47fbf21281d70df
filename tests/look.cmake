# The tool's window as a user sees it: fonts and whole labels and headers, at 96 and 144 pixels
# per inch.
velmora_test(look_test ${CMAKE_CURRENT_LIST_DIR}/look_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/window_support.cpp LIBS gpiolib comctl32 LOCK desktop
             DPI 144)
add_dependencies(look_test gpioconfig)
