# The simulated module's environment controls and its self-changing pins' thread.
velmora_test(sim_settings_test ${CMAKE_CURRENT_LIST_DIR}/sim_settings_test.cpp LIBS sim TIMEOUT 180)
add_dependencies(sim_settings_test gpiosim)
