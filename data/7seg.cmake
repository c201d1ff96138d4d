# The seven-segment digit picture sets, drawn by tools/mk7seg at build time
# into the program directory's 7seg/ folder.
set(ZE_7SEG_DIR ${ZE_PROGRAM_DIR}/7seg)
set(ZE_7SEG_FILES)
foreach(n 003_0100 001_0300 001_0400 001_0500 001_0600 001_0700 001_0800 001_0900
          001_1000 001_1200 001_1400 001_1600 001_1800 001_2000 001_2500 001_3000)
  list(APPEND ZE_7SEG_FILES ${ZE_7SEG_DIR}/7seg_${n}.pcx)
endforeach()
add_custom_command(OUTPUT ${ZE_7SEG_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZE_7SEG_DIR}
  COMMAND mk7seg ${ZE_7SEG_DIR}
  DEPENDS mk7seg
  COMMENT "Drawing the seven-segment digit sets")
add_custom_target(sevensegdata DEPENDS ${ZE_7SEG_FILES})
add_dependencies(programdata sevensegdata)
