# Installation: the app folder goes to <prefix>/lib/velkor-dialogs/ as built,
# with launchers in <prefix>/bin and desktop entries. The programs find their
# files beside themselves, so the launchers are symbolic links.
include(GNUInstallDirs)
set(VELKOR_INSTALL_APP_DIR ${CMAKE_INSTALL_LIBDIR}/velkor-dialogs)

install(DIRECTORY ${VELKOR_APP_DIR}/ DESTINATION ${VELKOR_INSTALL_APP_DIR}
        USE_SOURCE_PERMISSIONS
        PATTERN "*.ocx-wal" EXCLUDE
        PATTERN "*.ocx-shm" EXCLUDE)
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(CREATE_LINK ../${VELKOR_INSTALL_APP_DIR}/dialogs \"\${bin}/dialogs\" SYMBOLIC)
  if(EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELKOR_INSTALL_APP_DIR}/reader\")
    file(CREATE_LINK ../${VELKOR_INSTALL_APP_DIR}/reader \"\${bin}/dialogs-reader\" SYMBOLIC)
  endif()
")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/dialogs.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME velkor-dialogs.desktop)
if(TARGET reader)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/reader.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME velkor-dialogs-reader.desktop)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkor-dialogs)
set(CPACK_PACKAGE_VENDOR Velkor)
set(CPACK_PACKAGE_CONTACT "dialogs@velkor.example.org")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Spoken Russian and English conversation trainer")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
