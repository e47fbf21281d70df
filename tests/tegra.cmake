velmora_test(tegra_test ${CMAKE_CURRENT_LIST_DIR}/tegra_test.cpp LIBS gpiolib)
velmora_test(tegra_tables_test ${CMAKE_CURRENT_LIST_DIR}/tegra_tables_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/tegra_lists.cpp LIBS gpiolib)
