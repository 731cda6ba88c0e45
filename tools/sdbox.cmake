# The simulated SD box: a library for tests and benchmarks, and a program.
find_package(Threads REQUIRED)

add_library(velmorasdbox STATIC
    ${CMAKE_CURRENT_LIST_DIR}/sdbox.cpp ${CMAKE_CURRENT_LIST_DIR}/sdbox.h)
target_include_directories(velmorasdbox PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(velmorasdbox PUBLIC velmorasim Qt5::Core Threads::Threads)

add_executable(velmora-sdbox ${CMAKE_CURRENT_LIST_DIR}/sdboxmain.cpp)
target_link_libraries(velmora-sdbox PRIVATE velmorasdbox)
