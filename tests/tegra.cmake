# The operations name the PXA register model too; until it is on this branch, placeholders
# let the Tegra tests link.
set(tegra_pxa_placeholder)
if(NOT EXISTS ${CMAKE_SOURCE_DIR}/gpiolib/pxa.cpp)
    set(tegra_pxa_placeholder ${CMAKE_CURRENT_LIST_DIR}/pxa_placeholder.cpp)
endif()
velmora_test(tegra_test ${CMAKE_CURRENT_LIST_DIR}/tegra_test.cpp ${tegra_pxa_placeholder}
             LIBS gpiolib)
velmora_test(tegra_tables_test ${CMAKE_CURRENT_LIST_DIR}/tegra_tables_test.cpp LIBS gpiolib)
