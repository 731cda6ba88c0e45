# The SD box link's own source beside the link object, and the simulated SD box.
find_package(Threads REQUIRED)
target_sources(velmoralink PRIVATE
    ${CMAKE_SOURCE_DIR}/link/sdstep.cpp ${CMAKE_SOURCE_DIR}/link/sdstep.h)

add_library(velmorasdbox STATIC
    ${CMAKE_CURRENT_LIST_DIR}/sdbox.cpp ${CMAKE_CURRENT_LIST_DIR}/sdbox.h)
target_include_directories(velmorasdbox PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(velmorasdbox PUBLIC velmorasim Qt5::Core Threads::Threads)

add_executable(velmora-sdbox ${CMAKE_CURRENT_LIST_DIR}/sdboxmain.cpp)
target_link_libraries(velmora-sdbox PRIVATE velmorasdbox)
