# Pictures rendered at build time by the host tools of this folder, and the
# generated .rc files that name them, shared by FontPicture.cmake and
# AboutPicture.cmake.
#
# The tools always run on the build machine. In a native build they are
# ordinary targets of this build. In a cross build (the Windows programs) the
# project's compiler makes Windows programs, so the tool folder is configured
# and built as a separate CMake project with the host's own compiler, through
# ExternalProject; that project finds FreeType and libjpeg of the host.
include_guard(DIRECTORY)

set(CHRONOVALE_TOOLS_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})

if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  find_program(CHRONOVALE_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  if(NOT TARGET chronovale_host_tools)
    set(toolsBinary ${CMAKE_BINARY_DIR}/host-tools)
    # The host compiler is named explicitly and no toolchain file is passed,
    # so nothing of the cross build reaches the host project.
    ExternalProject_Add(chronovale_host_tools
      SOURCE_DIR ${CHRONOVALE_TOOLS_SOURCE_DIR}
      BINARY_DIR ${toolsBinary}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CHRONOVALE_HOST_CXX}
      BUILD_BYPRODUCTS ${toolsBinary}/fontpicture ${toolsBinary}/aboutpicture
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON)
  endif()
elseif(NOT TARGET chronovale_fontpicture)
  add_subdirectory(${CHRONOVALE_TOOLS_SOURCE_DIR} ${CMAKE_BINARY_DIR}/host-tools)
endif()

# chronovale_render_picture(OUTPUT file TOOL name WHAT text
#                           FACE cache-variable FACE_LABEL text FACE_NAMES names...
#                           [ARGS tool arguments...])
# Finds the face among the build machine's DejaVu fonts and adds the rule
# that runs `TOOL --font face --output file ARGS`.
function(chronovale_render_picture)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "OUTPUT;TOOL;WHAT;FACE;FACE_LABEL"
                        "FACE_NAMES;ARGS")
  find_file(${arg_FACE}
    NAMES ${arg_FACE_NAMES}
    PATHS /usr/share/fonts/truetype/dejavu /usr/share/fonts/dejavu /usr/share/fonts
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ${arg_FACE})
    message(FATAL_ERROR "Rendering ${arg_WHAT} needs ${arg_FACE_LABEL} (Debian: fonts-dejavu-core)")
  endif()
  if(CMAKE_CROSSCOMPILING)
    set(tool ${CMAKE_BINARY_DIR}/host-tools/${arg_TOOL})
    set(depends chronovale_host_tools ${tool})
  else()
    set(tool $<TARGET_FILE:chronovale_${arg_TOOL}>)
    set(depends chronovale_${arg_TOOL})
  endif()
  add_custom_command(OUTPUT ${arg_OUTPUT}
    COMMAND ${tool} --font ${${arg_FACE}} --output ${arg_OUTPUT} ${arg_ARGS}
    DEPENDS ${depends} ${${arg_FACE}}
    COMMENT "Rendering ${arg_WHAT}"
    VERBATIM)
endfunction()

# chronovale_add_picture_rc(target name picture text...) compiles a generated
# name.rc holding the texts into target, rebuilt when picture changes. The
# file is replaced only when its text changes, so configuring again rebuilds
# nothing.
function(chronovale_add_picture_rc target name picture)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  file(WRITE ${rc}.tmp ${ARGN})
  file(COPY_FILE ${rc}.tmp ${rc} ONLY_IF_DIFFERENT)
  file(REMOVE ${rc}.tmp)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${picture})
endfunction()
