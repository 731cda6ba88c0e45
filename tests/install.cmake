add_test(NAME install_check
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/run/install_check/prefix
            -P ${CMAKE_CURRENT_LIST_DIR}/scripts/installcheck.cmake)
