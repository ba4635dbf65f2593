# A Debian package: cpack -G DEB (or the `package` target) in the build
# directory gives zintrel_<version>-<revision>_<arch>.deb. Its dependencies
# are worked out from the binary by dpkg-shlibdeps; lintian passes it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zintrel)
set(CPACK_PACKAGE_VENDOR "The Zintrel developers")
set(CPACK_PACKAGE_CONTACT "The Zintrel developers <zintrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn mouse movement into sound")
set(CPACK_PACKAGE_DESCRIPTION
    "Zintrel measures how far the mouse cursor travels in short windows of time\n"
    "and plays a tone whose pitch rises with that travel. It shows the cursor's\n"
    "live speed with a speed word, and it can wrap the cursor from one edge of\n"
    "the screen to the opposite one. It needs an X11 session (or XWayland).")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zintrel.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ZINTREL_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
