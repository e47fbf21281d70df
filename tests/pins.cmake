velmora_test(pinmap_test ${CMAKE_CURRENT_LIST_DIR}/pinmap_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/pin_lists.cpp LIBS gpiolib)
velmora_test(modulepin_test ${CMAKE_CURRENT_LIST_DIR}/modulepin_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/pin_lists.cpp LIBS table gpiolib)
velmora_test(evalboard_test ${CMAKE_CURRENT_LIST_DIR}/evalboard_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/pin_lists.cpp LIBS table gpiolib)
