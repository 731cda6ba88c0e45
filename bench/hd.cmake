# Figures of the HD link: idle CPU, reaction latency, file throughput.
add_executable(hd-bench ${CMAKE_CURRENT_LIST_DIR}/hdbench.cpp)
target_link_libraries(hd-bench PRIVATE velmoralink velmorahdbox)
