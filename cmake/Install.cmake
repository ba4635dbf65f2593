# Installs Zintrel as a desktop program: the binary, its menu entry, its icon
# in every size the hicolor theme asks for, its AppStream description, its
# manual page, its licence and its changelog.
include(GNUInstallDirs)

install(TARGETS zintrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PROJECT_SOURCE_DIR}/data/zintrel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/org.example.zintrel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The PNGs are the ones rendered from res/icon.svg for the program's own
# window icons, so the menu and the windows show the same art.
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_BINARY_DIR}/res/art/kIcon${size}Png.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME zintrel.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/res/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME zintrel.svg)

# Directories made by the install are 0755 whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Compressed files are made with gzip -n, so they hold no name or time and
# the same source always gives the same bytes.
function(zintrel_gzip source target)
  add_custom_command(OUTPUT ${source}.gz
    COMMAND gzip -9 -n -k -f ${source}
    DEPENDS ${source}
    COMMENT "Compressing ${source}")
  add_custom_target(${target} ALL DEPENDS ${source}.gz)
endfunction()

configure_file(${PROJECT_SOURCE_DIR}/data/zintrel.1.in ${PROJECT_BINARY_DIR}/data/zintrel.1 @ONLY)
zintrel_gzip(${PROJECT_BINARY_DIR}/data/zintrel.1 zintrel_man_page)
install(FILES ${PROJECT_BINARY_DIR}/data/zintrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence, in Debian's machine-readable form, and the package's history.
# The package's version is the program's with a Debian revision of its own.
set(ZINTREL_DEB_REVISION 1 CACHE INTERNAL "Debian revision of the package")
set(ZINTREL_DEB_VERSION ${PROJECT_VERSION}-${ZINTREL_DEB_REVISION})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in
               ${PROJECT_BINARY_DIR}/data/changelog.Debian @ONLY)
zintrel_gzip(${PROJECT_BINARY_DIR}/data/changelog.Debian zintrel_changelog)
install(FILES ${PROJECT_BINARY_DIR}/data/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zintrel)
