# Whole-program figures: start-up to the shown window, memory of a list download.
add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/startup.cpp)
target_link_libraries(bench_startup PRIVATE velmoraapp velmorares)
add_executable(bench_listmemory ${CMAKE_CURRENT_LIST_DIR}/listmemory.cpp)
target_link_libraries(bench_listmemory PRIVATE velmoralink velmorahdbox velmorasdbox)
target_compile_definitions(bench_listmemory PRIVATE HDBOX_PROGRAM="$<TARGET_FILE:velmora-hdbox>"
    SDBOX_PROGRAM="$<TARGET_FILE:velmora-sdbox>")
add_dependencies(bench_listmemory velmora-hdbox velmora-sdbox)
