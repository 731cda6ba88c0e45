# The real program against the simulated boxes: the window closed by a
# signal, and batch mode.
foreach(t e2ejobs e2efaults e2ebatch)
    velmora_add_test(tst_${t} ${CMAKE_CURRENT_LIST_DIR}/${t}.cpp ${CMAKE_CURRENT_LIST_DIR}/e2erig.h
        LIBS velmorahdbox velmorasdbox Qt5::SerialPort TIMEOUT 150)
    target_compile_definitions(tst_${t} PRIVATE VELMORA_PROGRAM="$<TARGET_FILE:velmora>")
    add_dependencies(tst_${t} velmora)
endforeach()

# The close signals in process, with the window and a running job.
velmora_add_test(tst_signalclose ${CMAKE_CURRENT_LIST_DIR}/tst_signalclose.cpp
    ${CMAKE_SOURCE_DIR}/app/signalclose.cpp ${CMAKE_SOURCE_DIR}/app/signalclose.h
    LIBS velmoraapp velmorares velmoratestkit velmorahdbox TIMEOUT 60)
target_include_directories(tst_signalclose PRIVATE ${CMAKE_SOURCE_DIR}/app)
target_compile_definitions(tst_signalclose PRIVATE VELMORA_PROGRAM="$<TARGET_FILE:velmora>")
