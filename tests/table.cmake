# The GPIO list on a real list view, with start-up's state for each simulated module.
velmora_test(table_test ${CMAKE_CURRENT_LIST_DIR}/table_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/list_support.cpp LIBS app)
