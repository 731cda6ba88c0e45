# The HD link against the simulated HD box on real pseudo-terminals.
velmora_add_test(tst_hdfiles ${CMAKE_CURRENT_LIST_DIR}/hdfiles.cpp ${CMAKE_CURRENT_LIST_DIR}/hdharness.h
    LIBS velmoralink velmorahdbox TIMEOUT 300)
velmora_add_test(tst_hdupdate ${CMAKE_CURRENT_LIST_DIR}/hdupdate.cpp ${CMAKE_CURRENT_LIST_DIR}/hdharness.h
    LIBS velmoralink velmorahdbox TIMEOUT 300)
velmora_add_test(tst_hdlist ${CMAKE_CURRENT_LIST_DIR}/hdlist.cpp ${CMAKE_CURRENT_LIST_DIR}/hdharness.h
    LIBS velmoralink velmorahdbox TIMEOUT 300)
velmora_add_test(tst_hdservice ${CMAKE_CURRENT_LIST_DIR}/hdservice.cpp ${CMAKE_CURRENT_LIST_DIR}/hdharness.h
    LIBS velmoralink velmorahdbox TIMEOUT 300)
