# The real program against the simulated boxes, closed by a signal.
foreach(t e2ejobs e2efaults)
    velmora_add_test(tst_${t} ${CMAKE_CURRENT_LIST_DIR}/${t}.cpp ${CMAKE_CURRENT_LIST_DIR}/e2erig.h
        LIBS velmorahdbox velmorasdbox Qt5::SerialPort TIMEOUT 150)
    target_compile_definitions(tst_${t} PRIVATE VELMORA_PROGRAM="$<TARGET_FILE:velmora>")
    add_dependencies(tst_${t} velmora)
endforeach()
