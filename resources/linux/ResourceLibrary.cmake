# chronovale_add_resource_library(<target> OUTPUT_NAME <name>
#     [OUTPUT_DIRECTORY <dir>] [RESOURCES <type> <id> <file> ...])
# builds a resource-only shared object <name>.so: every file becomes the
# bytes of resource (<type>, <id>) in the table that resource_table.h
# describes. The bytes are embedded at build time, so editing a file
# rebuilds the library.
set(CHRONOVALE_RESOURCE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake)
set(CHRONOVALE_RESOURCE_INCLUDE ${CMAKE_CURRENT_LIST_DIR})

function(chronovale_add_resource_library target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OUTPUT_NAME;OUTPUT_DIRECTORY" "RESOURCES")
  list(LENGTH ARG_RESOURCES count)
  math(EXPR remainder "${count} % 3")
  if(NOT remainder EQUAL 0)
    message(FATAL_ERROR "${target}: RESOURCES takes triples of type, id and file")
  endif()

  set(entries "")
  set(files "")
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 3)
      math(EXPR idIndex "${i} + 1")
      math(EXPR fileIndex "${i} + 2")
      list(GET ARG_RESOURCES ${i} type)
      list(GET ARG_RESOURCES ${idIndex} id)
      list(GET ARG_RESOURCES ${fileIndex} file)
      get_filename_component(file "${file}" ABSOLUTE)
      list(APPEND entries "${type}|${id}|${file}")
      list(APPEND files "${file}")
    endforeach()
  endif()

  # The entry list travels as one argument; "|" and "," cannot occur in a
  # type name or an id.
  string(REPLACE ";" "," entryArgument "${entries}")
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_table.c)
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} "-DENTRIES=${entryArgument}" "-DOUTPUT=${source}"
            -P ${CHRONOVALE_RESOURCE_SCRIPT}
    DEPENDS ${files} ${CHRONOVALE_RESOURCE_SCRIPT}
    COMMENT "Embedding the resources of ${ARG_OUTPUT_NAME}.so"
    VERBATIM)

  add_library(${target} MODULE ${source})
  target_include_directories(${target} PRIVATE ${CHRONOVALE_RESOURCE_INCLUDE})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${ARG_OUTPUT_NAME} SUFFIX ".so"
    C_VISIBILITY_PRESET hidden)
  if(ARG_OUTPUT_DIRECTORY)
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
  endif()
endfunction()
