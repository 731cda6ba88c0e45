add_library(velmoratestkit STATIC ${CMAKE_CURRENT_LIST_DIR}/modalcloser.cpp ${CMAKE_CURRENT_LIST_DIR}/modalcloser.h)
target_link_libraries(velmoratestkit PUBLIC Qt5::Widgets)
target_include_directories(velmoratestkit PUBLIC ${CMAKE_CURRENT_LIST_DIR})

velmora_add_test(tst_form ${CMAKE_CURRENT_LIST_DIR}/tst_form.cpp LIBS velmoraapp velmorares velmoratestkit)
velmora_add_test(tst_window ${CMAKE_CURRENT_LIST_DIR}/tst_window.cpp LIBS velmoraapp velmorares velmoratestkit velmorasim)
velmora_add_test(tst_status ${CMAKE_CURRENT_LIST_DIR}/tst_status.cpp LIBS velmoraapp velmorares velmoratestkit)
velmora_add_test(tst_logfile ${CMAKE_CURRENT_LIST_DIR}/tst_logfile.cpp LIBS velmoralog)
