velmora_test(pxa_sim_test ${CMAKE_CURRENT_LIST_DIR}/pxa_sim_test.cpp LIBS sim)
