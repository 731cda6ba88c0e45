# SD link figures: idle CPU, reaction latency, update time against pacing.
foreach(b sdidle sdlatency sdpacing)
    add_executable(bench_${b} ${CMAKE_CURRENT_LIST_DIR}/${b}.cpp)
    target_link_libraries(bench_${b} PRIVATE velmoralink velmorasdbox)
endforeach()
