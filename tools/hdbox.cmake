find_package(Threads REQUIRED)
# The simulated HD box: a library for tests and benchmarks, and a program.
add_library(velmorahdbox STATIC
    ${CMAKE_CURRENT_LIST_DIR}/hdbox.cpp ${CMAKE_CURRENT_LIST_DIR}/hdbox.h)
target_include_directories(velmorahdbox PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(velmorahdbox PUBLIC velmorasim Qt5::Core Threads::Threads)

add_executable(velmora-hdbox ${CMAKE_CURRENT_LIST_DIR}/hdboxmain.cpp)
target_link_libraries(velmora-hdbox PRIVATE velmorahdbox)
