# Runs the tool (which stores its preferences on closing) and gpiosim.
velmora_test(gpiosim_test ${CMAKE_CURRENT_LIST_DIR}/gpiosim_test.cpp LIBS gpiolib LOCK desktop
             TIMEOUT 300)
add_dependencies(gpiosim_test gpioconfig gpiosim)
