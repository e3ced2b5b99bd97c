# Install rules: `cmake --install` and the Debian package lay the program out
# as a Linux desktop program. The programs find their read-only files in
# share/velliant-ftp beside their bin folder, under whatever prefix.
include(GNUInstallDirs)

set(VFTP_SHARE ${CMAKE_INSTALL_DATADIR}/velliant-ftp)
set(VFTP_DOC ${CMAKE_INSTALL_DATADIR}/doc/velliant-ftp)

# The licence where Debian keeps every package's, and the README beside it.
# (The debian/ build installs its own copyright file, the same licence in
# Debian's machine-readable form, over this one.)
install(FILES LICENSE DESTINATION ${VFTP_DOC} RENAME copyright)
install(FILES README.md DESTINATION ${VFTP_DOC})

install(TARGETS vftp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES tools/vftp/vftp-completion.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME vftp)

# Manual pages, compressed as Debian installs them.
set(VFTP_MAN_PAGES vftp.1)
if(VFTP_WITH_QT)
  list(APPEND VFTP_MAN_PAGES velliant-ftp.1)
endif()
foreach(page ${VFTP_MAN_PAGES})
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${page})
  set(packed ${PROJECT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND sh -c "gzip -9 -n -c '${source}' > '${packed}'"
    DEPENDS ${source} VERBATIM)
  list(APPEND VFTP_PACKED_MAN_PAGES ${packed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${VFTP_PACKED_MAN_PAGES})
install(FILES ${VFTP_PACKED_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(VFTP_WITH_QT)
  install(TARGETS velliant-ftp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${VFTP_RUNTIME_RESOURCES} DESTINATION ${VFTP_SHARE})
  install(FILES resources/desktop/velliant-ftp.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES resources/desktop/com.orvansoftware.velliant_ftp.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES resources/velliant-ftp.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES resources/velliant-ftp.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
  foreach(size 16x16 32x32 128x128 256x256)
    install(FILES resources/icons/${size}/velliant-ftp.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
  endforeach()
endif()
