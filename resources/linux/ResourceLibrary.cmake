# chronovale_add_resource_library(<target> OUTPUT_NAME <name>
#     [OUTPUT_DIRECTORY <dir>] [RESOURCES <type> <id> <file> ...])
# builds a resource-only shared object <name>.so: every file becomes the
# bytes of resource (<type>, <id>) in the table that resource_table.h
# describes. The bytes are embedded at build time, so editing a file
# rebuilds the library.
set(CHRONOVALE_RESOURCE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake)
set(CHRONOVALE_RESOURCE_INCLUDE ${CMAKE_CURRENT_LIST_DIR})

# chronovale_embed_resources(<target> TABLE <symbol> RESOURCES <type> <id> <file> ...)
# compiles the same kind of table into an existing target, hidden inside it
# under <symbol>: the resources a program carries itself.
#
# Both read their RESOURCES triples through this helper, which sets
# <prefix>_ENTRIES (the script's argument) and <prefix>_FILES.
function(_chronovale_resource_entries prefix)
  list(LENGTH ARGN count)
  math(EXPR remainder "${count} % 3")
  if(NOT remainder EQUAL 0)
    message(FATAL_ERROR "RESOURCES takes triples of type, id and file")
  endif()
  set(entries "")
  set(files "")
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 3)
      math(EXPR idIndex "${i} + 1")
      math(EXPR fileIndex "${i} + 2")
      list(GET ARGN ${i} type)
      list(GET ARGN ${idIndex} id)
      list(GET ARGN ${fileIndex} file)
      get_filename_component(file "${file}" ABSOLUTE)
      list(APPEND entries "${type}|${id}|${file}")
      list(APPEND files "${file}")
    endforeach()
  endif()
  # The entry list travels as one argument; "|" and "," cannot occur in a
  # type name or an id.
  string(REPLACE ";" "," entryArgument "${entries}")
  set(${prefix}_ENTRIES "${entryArgument}" PARENT_SCOPE)
  set(${prefix}_FILES "${files}" PARENT_SCOPE)
endfunction()

function(chronovale_add_resource_library target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OUTPUT_NAME;OUTPUT_DIRECTORY" "RESOURCES")
  _chronovale_resource_entries(RES ${ARG_RESOURCES})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_table.c)
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} "-DENTRIES=${RES_ENTRIES}" "-DOUTPUT=${source}"
            -P ${CHRONOVALE_RESOURCE_SCRIPT}
    DEPENDS ${RES_FILES} ${CHRONOVALE_RESOURCE_SCRIPT}
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

function(chronovale_embed_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "TABLE" "RESOURCES")
  _chronovale_resource_entries(RES ${ARG_RESOURCES})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_${ARG_TABLE}.c)
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} "-DENTRIES=${RES_ENTRIES}" "-DOUTPUT=${source}"
            "-DTABLE=${ARG_TABLE}" -DVISIBILITY=hidden
            -P ${CHRONOVALE_RESOURCE_SCRIPT}
    DEPENDS ${RES_FILES} ${CHRONOVALE_RESOURCE_SCRIPT}
    COMMENT "Embedding the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${source})
  set_source_files_properties(${source} PROPERTIES
    INCLUDE_DIRECTORIES ${CHRONOVALE_RESOURCE_INCLUDE})
endfunction()
