# The window on a desktop: resizing, the remembered placement, the find box. The real tool,
# driven with real input; it stores its preferences on closing.
velmora_test(desktop_test ${CMAKE_CURRENT_LIST_DIR}/desktop_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/window_support.cpp LIBS gpiolib LOCK desktop TIMEOUT 180)
add_dependencies(desktop_test gpioconfig)
