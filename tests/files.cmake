# Settings files through the tool's command line, on the module the test holds.
velmora_test(files_test ${CMAKE_CURRENT_LIST_DIR}/files_test.cpp
             ${CMAKE_CURRENT_LIST_DIR}/dialog_support.cpp ${CMAKE_CURRENT_LIST_DIR}/list_support.cpp
             LIBS app TIMEOUT 300)
add_dependencies(files_test gpioconfig)
# Exports onto a full disk and into a read-only folder (small filesystems mounted for it).
add_test(NAME FilesFaults.AFullDiskOrAReadOnlyFolderIsRefusedAndLeavesNoHalfFile
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/files_faults.sh ${CMAKE_BINARY_DIR})
set_tests_properties(FilesFaults.AFullDiskOrAReadOnlyFolderIsRefusedAndLeavesNoHalfFile
                     PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
