velmora_test(altfn_test ${CMAKE_CURRENT_LIST_DIR}/altfn_test.cpp LIBS table psapi TIMEOUT 180)
