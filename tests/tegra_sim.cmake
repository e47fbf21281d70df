velmora_test(tegra_sim_test ${CMAKE_CURRENT_LIST_DIR}/tegra_sim_test.cpp LIBS sim gpiolib)
