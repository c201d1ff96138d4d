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
