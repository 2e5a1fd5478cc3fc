# Installation: the app folder goes to <prefix>/lib/velkor-dialogs/ as built,
# with launchers in <prefix>/bin, desktop entries, AppStream metadata, the
# icon in the hicolor theme and the copyright file. The programs find their
# files beside themselves, so the launchers are symbolic links.
include(GNUInstallDirs)
set(VELKOR_INSTALL_APP_DIR ${CMAKE_INSTALL_LIBDIR}/velkor-dialogs)

# The word book is made afresh from its SQL: the app folder's copy is the one
# the build's own runs of the programs may have written to.
install(DIRECTORY ${VELKOR_APP_DIR}/ DESTINATION ${VELKOR_INSTALL_APP_DIR}
        USE_SOURCE_PERMISSIONS
        PATTERN "dialog.ocx*" EXCLUDE)
install(CODE "
  set(book \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELKOR_INSTALL_APP_DIR}/dialog.ocx\")
  file(REMOVE \"\${book}.part\")
  execute_process(COMMAND ${VELKOR_SQLITE3} -bail \"\${book}.part\"
                          \".read ${CMAKE_SOURCE_DIR}/assets/wordbook/wordbook.sql\"
                  OUTPUT_QUIET RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR \"cannot make the word book \${book}\")
  endif()
  file(RENAME \"\${book}.part\" \"\${book}\")
  file(CHMOD \"\${book}\" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
")
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
install(FILES ${CMAKE_SOURCE_DIR}/packaging/velkor-dialogs.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME org.example.velkor.dialogs.metainfo.xml)
if(TARGET reader)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/reader.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME velkor-dialogs-reader.desktop)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/velkor-dialogs-reader.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          RENAME org.example.velkor.dialogs.reader.metainfo.xml)
endif()
install(DIRECTORY ${VELKOR_ICON_THEME_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkor-dialogs)
set(CPACK_PACKAGE_VENDOR Velkor)
set(CPACK_PACKAGE_CONTACT "dialogs@velkor.example.org")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velkor Dialogs Maintainers <dialogs@velkor.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://velkor.example.org/dialogs/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spoken Russian and English conversation trainer")
set(CPACK_PACKAGE_DESCRIPTION
    "Dialogs keeps a thin strip at the top of the screen in which a Russian
sentence and its English translation slide in one after the other, while an
animated character on the desktop speaks the Russian sentence aloud with
espeak-ng. The pairs come from everyday conversations in fifteen topics or
from the learner's own New Words book; topic, order, pace, speech speed,
colours and size are the learner's to choose, and the strip can fold away
while the pointer is elsewhere.

The companion reader lets the same character read typed text, or every text
copied to the clipboard, aloud.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# Speech opens these when it starts (common/speech/runtimeparts.cpp names
# them), so the library scan below cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libespeak-ng1, espeak-ng-data, libpulse0, libasound2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
