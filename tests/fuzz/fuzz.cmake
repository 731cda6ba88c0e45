# Included by tests/fuzz.cmake when VELMORA_FUZZ is on and the compiler is clang.
# The link code gets coverage instrumentation and AddressSanitizer, so that
# libFuzzer steers by it and a memory fault aborts the run.
set(fuzz_dir ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(velmoralink PRIVATE -fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer)
target_link_options(velmoralink INTERFACE -fsanitize=address)

# A short run of each target is part of the suite of the fuzz build (label
# "fuzz"); tools/fuzz.sh runs longer ones. New inputs go to a corpus in the
# build tree, never into the committed seeds.
foreach(t filetype replies)
    add_executable(fuzz_${t} ${fuzz_dir}/${t}.cpp)
    target_compile_options(fuzz_${t} PRIVATE -fsanitize=fuzzer,address -fno-omit-frame-pointer)
    target_link_options(fuzz_${t} PRIVATE -fsanitize=fuzzer,address)
    target_link_libraries(fuzz_${t} PRIVATE velmoralink velmorasim Qt5::Core)
    set(wd ${CMAKE_CURRENT_BINARY_DIR}/run/fuzz_${t})
    file(MAKE_DIRECTORY ${wd}/corpus)
    set(dict)
    if(EXISTS ${fuzz_dir}/${t}.dict)
        set(dict -dict=${fuzz_dir}/${t}.dict)
    endif()
    add_test(NAME fuzz_${t}
             COMMAND fuzz_${t} -max_total_time=10 -timeout=10 -print_final_stats=1 ${dict}
                     -artifact_prefix=${wd}/ ${wd}/corpus ${fuzz_dir}/corpus/${t}
             WORKING_DIRECTORY ${wd})
    set_tests_properties(fuzz_${t} PROPERTIES LABELS fuzz TIMEOUT 120)
endforeach()
