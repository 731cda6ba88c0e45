# Run by ctest as a script: packs the built tree into the Debian package,
# unpacks it into a scratch root and checks what it holds, that its programs
# answer there without a display, and that AppStream takes its metainfo.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CPACK} -G DEB -B ${WORK} WORKING_DIRECTORY ${BUILD}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB deb ${WORK}/velmora_*.deb)
if(NOT rc EQUAL 0 OR NOT deb)
    message(FATAL_ERROR "cpack failed: ${rc}\n${out}")
endif()

execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE list RESULT_VARIABLE rc)
set(icons share/icons/hicolor/scalable/apps/velmora.svg)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND icons share/icons/hicolor/${size}x${size}/apps/velmora.png)
endforeach()
foreach(f bin/velmora bin/velmora-hdbox bin/velmora-sdbox share/man/man1/velmora.1.gz
          share/man/man1/velmora-hdbox.1.gz share/man/man1/velmora-sdbox.1.gz share/applications/velmora.desktop
          share/metainfo/example.orvanta.Velmora.metainfo.xml share/doc/velmora/copyright
          share/doc/velmora/changelog.Debian.gz ${icons})
    if(NOT list MATCHES " \\./usr/${f}\n")
        message(FATAL_ERROR "not in the package: /usr/${f}\n${list}")
    endif()
endforeach()
# The dependencies are the binaries' own, found by dpkg-shlibdeps.
execute_process(COMMAND dpkg-deb -f ${deb} Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "libqt${QT}serialport${QT}" OR NOT depends MATCHES "libqt${QT}widgets${QT}")
    message(FATAL_ERROR "Depends: ${depends}")
endif()

set(root ${WORK}/root)
execute_process(COMMAND dpkg-deb -x ${deb} ${root} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -x: ${rc}")
endif()
foreach(size 16 32 256)
    file(READ ${root}/usr/share/icons/hicolor/${size}x${size}/apps/velmora.png head OFFSET 16 LIMIT 8 HEX)
    math(EXPR side "0x${head}" OUTPUT_FORMAT HEXADECIMAL)
    math(EXPR want "(${size} << 32) | ${size}" OUTPUT_FORMAT HEXADECIMAL)
    if(NOT side STREQUAL want)
        message(FATAL_ERROR "${size}x${size} icon has the size ${head}")
    endif()
endforeach()
file(READ ${root}/usr/share/applications/velmora.desktop desktop)
if(NOT desktop MATCHES "Exec=velmora" OR NOT desktop MATCHES "Icon=velmora")
    message(FATAL_ERROR "desktop entry does not start velmora with its icon")
endif()

# No display at all: a window would fail to open, so an answer proves there was none.
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})
set(bin ${root}/usr/bin)
execute_process(COMMAND ${bin}/velmora --version OUTPUT_VARIABLE out RESULT_VARIABLE rc TIMEOUT 10)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^Velmora 3.0")
    message(FATAL_ERROR "--version: ${rc} ${out}")
endif()
execute_process(COMMAND ${bin}/velmora --help OUTPUT_VARIABLE out RESULT_VARIABLE rc TIMEOUT 10)
if(NOT rc EQUAL 0 OR NOT out MATCHES "-p PORT" OR NOT out MATCHES "-s " OR NOT out MATCHES "--list-ports")
    message(FATAL_ERROR "--help: ${rc} ${out}")
endif()
# Whatever ports this machine has: a header row naming the columns, then each line names one,
# its device, whether it may be opened and its stable by-id path.
execute_process(COMMAND ${bin}/velmora --list-ports OUTPUT_VARIABLE out RESULT_VARIABLE rc TIMEOUT 10)
set(header "NAME\tLOCATION\tDESCRIPTION\tMANUFACTURER\tSERIAL\tUSB-ID\tACCESS\tSTABLE-PATH\n")
string(FIND "${out}" "${header}" at)
if(NOT out STREQUAL "" AND NOT at EQUAL 0)
    message(FATAL_ERROR "--list-ports without its header row:\n${out}")
endif()
string(REPLACE "${header}" "" out "${out}")
string(REGEX REPLACE "[^\t\n]+\t/[^\t\n]+(\t[^\t\n]+)(\t[^\t\n]+)(\t[^\t\n]+)\t(-|[0-9a-f?]+:[0-9a-f?]+)\t(ok|no access: [^\t\n]+)\t(-|/[^\t\n]+)\n"
       "" rest "${out}")
if(NOT rc EQUAL 0 OR NOT rest STREQUAL "")
    message(FATAL_ERROR "--list-ports: ${rc}\n${out}")
endif()
foreach(box hdbox sdbox)
    execute_process(COMMAND ${bin}/velmora-${box} --help OUTPUT_VARIABLE out RESULT_VARIABLE rc TIMEOUT 10)
    if(NOT rc EQUAL 0 OR NOT out MATCHES "--silent")
        message(FATAL_ERROR "velmora-${box} --help: ${rc} ${out}")
    endif()
endforeach()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net
                            ${root}/usr/share/metainfo/example.orvanta.Velmora.metainfo.xml
                    OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc TIMEOUT 60)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "appstreamcli validate: ${rc}\n${out}")
    endif()
endif()
