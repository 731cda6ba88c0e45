velmora_add_test(tst_commands ${CMAKE_CURRENT_LIST_DIR}/tst_commands.cpp ${CMAKE_CURRENT_LIST_DIR}/cmdkit.h
    LIBS velmoraapp velmorares velmoratestkit)
velmora_add_test(tst_settings ${CMAKE_CURRENT_LIST_DIR}/tst_settings.cpp ${CMAKE_CURRENT_LIST_DIR}/cmdkit.h
    LIBS velmoraapp velmorares velmoratestkit)
