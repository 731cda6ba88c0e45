velmora_add_test(tst_commands ${CMAKE_CURRENT_LIST_DIR}/tst_commands.cpp ${CMAKE_CURRENT_LIST_DIR}/cmdkit.h
    LIBS velmoraapp velmorares velmoratestkit)
velmora_add_test(tst_settings ${CMAKE_CURRENT_LIST_DIR}/tst_settings.cpp ${CMAKE_CURRENT_LIST_DIR}/cmdkit.h
    LIBS velmoraapp velmorares velmoratestkit velmorasim)

# The language tests run under a German and under a French system locale.
velmora_add_test(tst_languages ${CMAKE_CURRENT_LIST_DIR}/tst_languages.cpp ${CMAKE_CURRENT_LIST_DIR}/cmdkit.h
    LIBS velmoraapp velmorares velmoratestkit)
set_tests_properties(tst_languages PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LC_ALL=de_DE.UTF-8;LANG=de_DE.UTF-8;VELMORA_TEST_SYSTEM_LANG=de")
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/run/tst_languages_fr)
add_test(NAME tst_languages_fr COMMAND tst_languages WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/run/tst_languages_fr)
set_tests_properties(tst_languages_fr PROPERTIES TIMEOUT 120 ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LC_ALL=fr_FR.UTF-8;LANG=fr_FR.UTF-8;VELMORA_TEST_SYSTEM_LANG=fr")
