# The fuzz targets, listed once for both builds that use them: the libFuzzer
# build (tests/fuzz/CMakeLists.txt) and the replay tests of the normal Linux
# build (tests/CMakeLists.txt). For each NAME, fuzz_NAME.cpp holds the target;
# CHRONOVALE_FUZZ_SOURCES_NAME the code under test, CHRONOVALE_FUZZ_LIBRARIES_NAME
# what it links, and CHRONOVALE_FUZZ_INPUTS_NAME every input kept for it: the
# seed corpus in corpus/NAME and any crashers that a suite keeps as fixtures.
set(CHRONOVALE_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CHRONOVALE_FUZZ_APP ${CMAKE_CURRENT_LIST_DIR}/../../app)
set(CHRONOVALE_FUZZ_INCLUDES ${CHRONOVALE_FUZZ_APP} ${CHRONOVALE_FUZZ_APP}/platform/x11)

set(CHRONOVALE_FUZZ_TARGETS modes regfile sntp jpeg)

set(CHRONOVALE_FUZZ_SOURCES_modes ${CHRONOVALE_FUZZ_APP}/modes.cpp)
set(CHRONOVALE_FUZZ_INPUTS_modes ${CHRONOVALE_FUZZ_DIR}/corpus/modes)

set(CHRONOVALE_FUZZ_SOURCES_regfile
  ${CHRONOVALE_FUZZ_APP}/platform/x11/regfile_format.cpp
  ${CHRONOVALE_FUZZ_APP}/platform/x11/regfile_syntax.cpp
  ${CHRONOVALE_FUZZ_APP}/platform/x11/ansi_codepage.cpp)
# The settings file's inputs are kept with its own suite; corpus/regfile has
# nothing committed (scripts/test makes it, empty, for the fuzzer), so a
# fresh clone has no such folder to replay.
set(CHRONOVALE_FUZZ_INPUTS_regfile ${CHRONOVALE_FUZZ_DIR}/../regfile/fuzz_seeds)

set(CHRONOVALE_FUZZ_SOURCES_sntp ${CHRONOVALE_FUZZ_APP}/sntp_packet.cpp)
set(CHRONOVALE_FUZZ_INPUTS_sntp ${CHRONOVALE_FUZZ_DIR}/corpus/sntp)

set(CHRONOVALE_FUZZ_SOURCES_jpeg ${CHRONOVALE_FUZZ_APP}/picture.cpp)
set(CHRONOVALE_FUZZ_LIBRARIES_jpeg JPEG::JPEG)
set(CHRONOVALE_FUZZ_INPUTS_jpeg ${CHRONOVALE_FUZZ_DIR}/corpus/jpeg)
