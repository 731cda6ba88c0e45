# velmora_man_page(page.N): compresses a man page the way Debian wants it
# (gzip -9, no name or time stamp) and installs it into its section. A page
# kept as page.N.in is configured first (@VAR@ only), e.g. for the version.
function(velmora_man_page page)
    string(REGEX MATCH "[0-9]$" section ${page})
    set(gz ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz)
    set(source ${CMAKE_CURRENT_SOURCE_DIR}/${page})
    if(EXISTS ${source}.in)
        set(source ${CMAKE_CURRENT_BINARY_DIR}/${page}.configured)
        configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${page}.in ${source} @ONLY)
    endif()
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_CURRENT_BINARY_DIR}/${page}
        COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/${page}
        DEPENDS ${source} VERBATIM)
    string(MAKE_C_IDENTIFIER "man_${page}" target)
    add_custom_target(${target} ALL DEPENDS ${gz})
    install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
