# The Debian package: `cpack` in a build directory makes hostvane_<version>_<arch>.deb from the
# same install rules as `cmake --install`, with the files Debian asks of every package.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/Gzip.cmake)

set(HOSTVANE_DEB_DOC ${CMAKE_INSTALL_DATADIR}/doc/hostvane)
get_directory_property(HOSTVANE_RELEASE_DATE DIRECTORY data DEFINITION HOSTVANE_RELEASE_DATE)

# Debian keeps a changelog beside the copyright, compressed without a time stamp so that the
# same sources give the same package.
execute_process(COMMAND date -u -R -d ${HOSTVANE_RELEASE_DATE}
                OUTPUT_VARIABLE HOSTVANE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
hostvane_gzip(${CMAKE_BINARY_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${HOSTVANE_DEB_DOC})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hostvane)
set(CPACK_PACKAGE_VENDOR "The HostVane developers")
set(CPACK_PACKAGE_CONTACT "The HostVane developers <support@hostvane.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "keeps a redirector web page pointing at a changing address")
# Debian shows the description as written: lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "HostVane keeps a small redirector web page on a fixed FTP server pointing at a
machine whose Internet address keeps changing, such as one on a dial-up or WAN
link. It checks the address of the chosen interface every few minutes, and at
once when the address changes; when it changed, it writes the page from a
template and replaces it on the server.

It shows the history of the latest check and the upload and error counters,
hides in the notification area, and can run as a systemd user service.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The libraries come from the executable itself; what it starts does not show there: the
# address script's `ip`, the public-address script's `curl`, and Qt's platform plugins, which
# Qt loads at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "iproute2, curl, qt6-qpa-plugins")
# A Wayland session without XWayland needs Qt's wayland plugin, which Qt also loads at run time;
# QtKeychain reaches the desktop's keyring through libsecret, which it loads at run time too.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, libsecret-1-0")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
