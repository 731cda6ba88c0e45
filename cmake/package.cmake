# The Debian package, made by `cpack` in a built tree (see tools/package.sh).
# Its dependencies come from the binaries through dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR Orvanta)
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@orvanta.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "update set-top boxes and copy their channel lists over RS232")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The summary is the synopsis line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmora loads firmware updates into HD and SD satellite set-top boxes and
downloads or uploads their channel lists, over a serial cable to the box's
RS232 socket. Its window shows every step; velmora.log records them.
.
The package also holds velmora-hdbox and velmora-sdbox, simulated boxes on a
pseudo-terminal for trying the program without a box.")
# The staging tree is made by the install step: keep its directories at the
# usual mode whatever the umask (read by the install rules, so this file is
# included before any folder's).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian's documents: the copyright and a changelog of the packaged version.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.Debian.in ${CMAKE_BINARY_DIR}/pkg/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/pkg/changelog.Debian.gz
    COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/pkg/changelog.Debian
    DEPENDS ${CMAKE_BINARY_DIR}/pkg/changelog.Debian)
add_custom_target(velmorachangelog ALL DEPENDS ${CMAKE_BINARY_DIR}/pkg/changelog.Debian.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/pkg/changelog.Debian.gz DESTINATION ${doc_dir})
# Not meant for Debian's archive, so no bug of it closes with this package.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME ${CPACK_PACKAGE_NAME})

include(CPack)
