# The stock sounds, written by tools/mksounds at build time into the program
# directory's sounds/ folder.
set(ZE_SOUNDS_DIR ${ZE_PROGRAM_DIR}/sounds)
set(ZE_SOUND_FILES ${ZE_SOUNDS_DIR}/beep.wav ${ZE_SOUNDS_DIR}/chime.wav ${ZE_SOUNDS_DIR}/melody.mid)
add_custom_command(OUTPUT ${ZE_SOUND_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZE_SOUNDS_DIR}
  COMMAND mksounds ${ZE_SOUNDS_DIR}
  DEPENDS mksounds
  COMMENT "Writing the stock sounds")
add_custom_target(soundsdata DEPENDS ${ZE_SOUND_FILES})
add_dependencies(programdata soundsdata)
