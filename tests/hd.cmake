# The HD link against the simulated HD box on real pseudo-terminals.
foreach(t hdfiles hdjobs hdservice)
    velmora_add_test(tst_${t} ${CMAKE_CURRENT_LIST_DIR}/${t}.cpp ${CMAKE_CURRENT_LIST_DIR}/hdharness.h
        LIBS velmoralink velmorahdbox TIMEOUT 300)
endforeach()
