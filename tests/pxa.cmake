# Until the Tegra model is in gpiolib, its entry points come from stand-ins linked after it.
add_library(tegra_model_absent STATIC ${CMAKE_CURRENT_LIST_DIR}/tegra_model_absent.cpp)
velmora_test(pxa_test ${CMAKE_CURRENT_LIST_DIR}/pxa_test.cpp LIBS gpiolib tegra_model_absent)
