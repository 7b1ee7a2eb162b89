# Writes OUT, the header with the project's VERSION and, when SRC is a git
# checkout, its revision; run at every build, it rewrites the header only
# when either changed, so nothing recompiles for nothing.
execute_process(COMMAND git -C ${SRC} describe --always --dirty
  OUTPUT_VARIABLE revision OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
if(failed)
  set(revision "")
endif()
set(text "#pragma once\n// Written by the build (cmake/version.cmake).\n#define QV_VERSION \"${VERSION}\"\n#define QV_REVISION \"${revision}\"  // empty outside a git checkout\n")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUT} "${text}")
endif()
