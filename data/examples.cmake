# The example settings files examples/s1.dbf .. s10.dbf, written at build time
# by tools/mkexamples through the program's own settings save from the
# readable sources data/examples/sN.txt. Example pictures (examples/eng/bgN.bmp,
# examples/ger/bgN.bmp) are copied when they exist.
set(ZE_EXAMPLES_DIR ${ZE_PROGRAM_DIR}/examples)
set(ZE_EXAMPLES_SRC ${CMAKE_SOURCE_DIR}/data/examples)
target_link_libraries(mkexamples PRIVATE quimoapp)

set(ZE_EXAMPLE_SOURCES)
set(ZE_EXAMPLE_FILES)
foreach(n RANGE 1 10)
  list(APPEND ZE_EXAMPLE_SOURCES ${ZE_EXAMPLES_SRC}/s${n}.txt)
  list(APPEND ZE_EXAMPLE_FILES ${ZE_EXAMPLES_DIR}/s${n}.dbf)
endforeach()
add_custom_command(OUTPUT ${ZE_EXAMPLE_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZE_EXAMPLES_DIR}
  COMMAND mkexamples ${ZE_EXAMPLES_DIR} ${ZE_EXAMPLE_SOURCES}
  DEPENDS mkexamples ${ZE_EXAMPLE_SOURCES}
  COMMENT "Writing the example settings files")

file(GLOB ZE_EXAMPLE_PICTURES CONFIGURE_DEPENDS
  ${ZE_EXAMPLES_SRC}/eng/*.bmp ${ZE_EXAMPLES_SRC}/ger/*.bmp)
set(ZE_EXAMPLE_PICTURE_COPIES)
foreach(pic ${ZE_EXAMPLE_PICTURES})
  file(RELATIVE_PATH rel ${ZE_EXAMPLES_SRC} ${pic})
  add_custom_command(OUTPUT ${ZE_EXAMPLES_DIR}/${rel}
    COMMAND ${CMAKE_COMMAND} -E copy ${pic} ${ZE_EXAMPLES_DIR}/${rel}
    DEPENDS ${pic})
  list(APPEND ZE_EXAMPLE_PICTURE_COPIES ${ZE_EXAMPLES_DIR}/${rel})
endforeach()

add_custom_target(exampledata DEPENDS ${ZE_EXAMPLE_FILES} ${ZE_EXAMPLE_PICTURE_COPIES})
add_dependencies(programdata exampledata)
