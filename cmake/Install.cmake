# Installs Zintrel as a desktop program: the binary, its menu entry, its icon
# in every size the hicolor theme asks for, its AppStream description and its
# manual page.
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

configure_file(${PROJECT_SOURCE_DIR}/data/zintrel.1.in ${PROJECT_BINARY_DIR}/data/zintrel.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/zintrel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
