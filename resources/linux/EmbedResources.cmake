# Writes the C source of a resource library: each file's bytes as an array
# and the exported table listing them. Run as a script:
#   cmake -DENTRIES=type|id|file,... -DOUTPUT=table.c -P EmbedResources.cmake
# -DTABLE=name -DVISIBILITY=hidden give the table another name and keep it
# inside the program, for the resources a program carries itself.
string(REPLACE "," ";" entries "${ENTRIES}")
if(NOT TABLE)
  set(TABLE chronovale_resource_table)
endif()
if(NOT VISIBILITY)
  set(VISIBILITY default)
endif()

set(arrays "")
set(rows "")
set(index 0)
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 type)
  list(GET fields 1 id)
  list(GET fields 2 file)
  if(NOT id MATCHES "^-?[0-9]+$")
    message(FATAL_ERROR "resource ${type} has no numeric id: ${id}")
  endif()
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  # Sixteen bytes to a line keeps the generated file readable in a diff tool.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
  # An empty file still needs one element for a valid C array.
  if(size EQUAL 0)
    set(bytes "0")
  endif()
  string(APPEND arrays "/* ${type} ${id}: ${file} */\nstatic const unsigned char resource${index}[] = {\n    ${bytes}\n};\n\n")
  string(APPEND rows "    {\"${type}\", ${id}, resource${index}, ${size}u},\n")
  math(EXPR index "${index} + 1")
endforeach()

if(index EQUAL 0)
  set(table "__attribute__((visibility(\"${VISIBILITY}\")))\nconst struct ChronovaleResourceTable ${TABLE} = {\n    CHRONOVALE_RESOURCE_TABLE_VERSION, 0u, 0\n};\n")
else()
  set(table "static const struct ChronovaleResource entries[] = {\n${rows}};\n\n__attribute__((visibility(\"${VISIBILITY}\")))\nconst struct ChronovaleResourceTable ${TABLE} = {\n    CHRONOVALE_RESOURCE_TABLE_VERSION, ${index}u, entries\n};\n")
endif()

file(WRITE "${OUTPUT}.tmp" "/* Generated from the resource list of the build; do not edit. */\n#include \"resource_table.h\"\n\n${arrays}${table}")
# Replaced only when the text changed, so an unchanged list relinks nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
