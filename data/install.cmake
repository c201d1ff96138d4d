# Installing: the binaries to bin/, the data files to share/quimo/ (where
# an installed quimo looks for them), the desktop entry and the icon in the
# hicolor sizes; and the Debian package (cpack -G DEB in the build folder).
set(ZE_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(ZE_ICON_FILES)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND ZE_ICON_FILES ${ZE_ICON_DIR}/${size}x${size}/apps/quimo.png)
endforeach()
# The portable copy's icon (its autostart entry names it) lies beside it.
add_custom_command(OUTPUT ${ZE_ICON_FILES} ${ZE_PROGRAM_DIR}/quimo.png
  COMMAND mkicon ${ZE_ICON_DIR} quimo
  COMMAND mkicon --file ${ZE_PROGRAM_DIR}/quimo.png 256
  DEPENDS mkicon
  COMMENT "Drawing the program icon")
add_custom_target(icondata DEPENDS ${ZE_ICON_FILES} ${ZE_PROGRAM_DIR}/quimo.png)
add_dependencies(programdata icondata)

include(GNUInstallDirs)
install(TARGETS quimo zeko RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Everything in the program directory but the binary and what a run of the
# portable copy writes there (the user's files).
install(DIRECTORY ${ZE_PROGRAM_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quimo
  PATTERN quimo EXCLUDE
  PATTERN quimo.png EXCLUDE
  PATTERN quimo.log EXCLUDE
  PATTERN quimo.lock EXCLUDE
  PATTERN quimo_settings.dbf* EXCLUDE
  PATTERN *.tmp EXCLUDE
  PATTERN *.tmp.dbf EXCLUDE
  PATTERN scanlineoffset.txt EXCLUDE
  PATTERN zeko_http.log EXCLUDE
  PATTERN screen.bmp EXCLUDE
  PATTERN quimo_bg.bmp EXCLUDE
  PATTERN quimo_bg_backup.bmp EXCLUDE
  PATTERN quimo_bg_intern.bmp EXCLUDE
  PATTERN timeserver.txt EXCLUDE
  PATTERN detectlanguage EXCLUDE
  PATTERN .zeko_tmp EXCLUDE
  PATTERN profiles EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/data/quimo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${ZE_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quimo)
set(CPACK_PACKAGE_VERSION 2.0)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "count-up / count-down timer in seven-segment digits")
set(CPACK_PACKAGE_DESCRIPTION "QUIMO shows the time since or until a chosen moment in seven-segment digits over a background picture, in a small borderless window; with time-up message, sound and program start, tray and autostart.")
set(CPACK_PACKAGE_CONTACT "QUIMO developers <quimo@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries come from the binaries' own links, and those opened on first
# use (HTTP, sound, system fonts, JPEG, GIF) are named here; xdg-open and lp
# are run.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, libfontconfig1, libfreetype6, libjpeg62-turbo, libgif7")
if(SDLMIX_FOUND)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libsdl2-2.0-0, libsdl2-mixer-2.0-0")
endif()
if(ALSA_FOUND)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libasound2")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups-client")
include(CPack)
