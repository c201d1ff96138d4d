# The stock sounds, written by tools/mksounds at build time into the program
# directory's sounds/ folder. With Debian's lame encoder present the alarm
# call becomes the stock MP3; without it there is none.
set(ZE_SOUNDS_DIR ${ZE_PROGRAM_DIR}/sounds)
set(ZE_SOUND_FILES ${ZE_SOUNDS_DIR}/beep.wav ${ZE_SOUNDS_DIR}/chime.wav ${ZE_SOUNDS_DIR}/melody.mid)
find_program(ZE_LAME lame)
if(ZE_LAME)
  set(ZE_ALARM_WAV ${CMAKE_CURRENT_BINARY_DIR}/alarm.wav)
  add_custom_command(OUTPUT ${ZE_SOUND_FILES} ${ZE_ALARM_WAV}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZE_SOUNDS_DIR}
    COMMAND mksounds ${ZE_SOUNDS_DIR} ${ZE_ALARM_WAV}
    DEPENDS mksounds
    COMMENT "Writing the stock sounds")
  add_custom_command(OUTPUT ${ZE_SOUNDS_DIR}/alarm.mp3
    COMMAND ${ZE_LAME} --quiet -b 96 ${ZE_ALARM_WAV} ${ZE_SOUNDS_DIR}/alarm.mp3
    DEPENDS ${ZE_ALARM_WAV}
    COMMENT "Encoding the stock MP3")
  list(APPEND ZE_SOUND_FILES ${ZE_SOUNDS_DIR}/alarm.mp3)
else()
  message(STATUS "lame not found: no stock MP3")
  add_custom_command(OUTPUT ${ZE_SOUND_FILES}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZE_SOUNDS_DIR}
    COMMAND mksounds ${ZE_SOUNDS_DIR}
    DEPENDS mksounds
    COMMENT "Writing the stock sounds")
endif()
add_custom_target(soundsdata DEPENDS ${ZE_SOUND_FILES})
add_dependencies(programdata soundsdata)
