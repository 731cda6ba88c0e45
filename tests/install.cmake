add_test(NAME install_check
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DCPACK=${CMAKE_CPACK_COMMAND}
            -DWORK=${CMAKE_CURRENT_BINARY_DIR}/run/install_check -P ${CMAKE_CURRENT_LIST_DIR}/scripts/installcheck.cmake)
set_tests_properties(install_check PROPERTIES TIMEOUT 600)
