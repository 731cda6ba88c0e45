# libFuzzer targets: only with clang and -DVELMORA_FUZZ=ON, so that the
# normal build does not change.
option(VELMORA_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(VELMORA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(WARNING "VELMORA_FUZZ needs clang; the fuzz targets are not built")
    else()
        include(${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz.cmake)
    endif()
endif()
