# Fails, showing the difference, when a checked-in generated file (CHECKED_IN)
# is not what the build generates now (GENERATED).
#   cmake -DCHECKED_IN=... -DGENERATED=... -P CompareGenerated.cmake
if(NOT EXISTS "${GENERATED}")
  message(FATAL_ERROR "${GENERATED} was not generated: build first")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${CHECKED_IN}" "${GENERATED}"
  RESULT_VARIABLE differs)
if(differs)
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND ${DIFF} -u "${CHECKED_IN}" "${GENERATED}")
  endif()
  message(FATAL_ERROR "${CHECKED_IN} differs from the generated copy; update it with "
          "cmake --build --preset linux --target settings_doc_update")
endif()
