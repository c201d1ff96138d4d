# The help documents helpinfo_eng.html and helpinfo_ger.html, copied into the
# program directory (and so installed with the other data files).
set(ZE_HELP_FILES)
foreach(lang eng ger)
  add_custom_command(OUTPUT ${ZE_PROGRAM_DIR}/helpinfo_${lang}.html
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/helpinfo_${lang}.html ${ZE_PROGRAM_DIR}/helpinfo_${lang}.html
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/helpinfo_${lang}.html)
  list(APPEND ZE_HELP_FILES ${ZE_PROGRAM_DIR}/helpinfo_${lang}.html)
endforeach()
add_custom_target(helpdata DEPENDS ${ZE_HELP_FILES})
add_dependencies(programdata helpdata)

# The example background pictures and the introduction picture, drawn by
# tools/mkpictures from data/pictures.txt.
set(ZE_PICTURE_FILES)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/pictures.txt)
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/pictures.txt ZE_PICTURE_LINES REGEX "^[^#]")
foreach(line ${ZE_PICTURE_LINES})
  string(REGEX MATCH "^[^ ]+" pic "${line}")
  list(APPEND ZE_PICTURE_FILES ${ZE_PROGRAM_DIR}/${pic})
endforeach()
add_custom_command(OUTPUT ${ZE_PICTURE_FILES}
  COMMAND mkpictures ${CMAKE_CURRENT_SOURCE_DIR}/pictures.txt ${ZE_PROGRAM_DIR}
  DEPENDS mkpictures ${CMAKE_CURRENT_SOURCE_DIR}/pictures.txt
  COMMENT "Drawing the example and introduction pictures")
add_custom_target(picturedata DEPENDS ${ZE_PICTURE_FILES})
add_dependencies(programdata picturedata)
