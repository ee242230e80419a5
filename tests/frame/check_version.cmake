# Checks that the product shows one version everywhere: "NAME VERSION" from
# --version of each program named in PROGRAMS, and, when DLL is given, the
# version resource read back out of marketgate.dll with the resource
# compiler (file and product version, description, original file name).
# Run as: cmake -DVERSION=1.2.3 [-DPROGRAMS=a;b] [-DDLL=... -DWINDRES=...] -P check_version.cmake
set(failures "")
foreach(program ${PROGRAMS})
  get_filename_component(name ${program} NAME_WE)
  execute_process(COMMAND ${program} --version OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "${name} ${VERSION}\n" OR NOT err STREQUAL "")
    list(APPEND failures "${name} --version: exit ${status}, printed '${out}' '${err}', not '${name} ${VERSION}'")
  endif()
endforeach()

if(DLL)
  execute_process(COMMAND ${WINDRES} -i ${DLL} -O rc OUTPUT_VARIABLE rc RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(APPEND failures "${WINDRES} could not read the resources of ${DLL}")
  endif()
  string(REPLACE "." ", " numbers "${VERSION}")
  foreach(line
      "FILEVERSION ${numbers}, 0"
      "PRODUCTVERSION ${numbers}, 0"
      "FILETYPE 0x2"
      "VALUE \"FileVersion\", \"${VERSION}\""
      "VALUE \"ProductVersion\", \"${VERSION}\""
      "VALUE \"OriginalFilename\", \"marketgate.dll\""
      "VALUE \"ProductName\", \"Marketgate dla TOMIKS\""
      # "Import zamówień z Marketgate" in the resource compiler's escapes.
      "VALUE \"FileDescription\", L\"Import zam\\363wie\\x0144 z Marketgate\"")
    string(FIND "${rc}" "${line}" at)
    if(at LESS 0)
      list(APPEND failures "the version resource lacks: ${line}")
    endif()
  endforeach()
endif()

if(failures)
  string(REPLACE ";" "\n  " failures "${failures}")
  message(FATAL_ERROR "versions:\n  ${failures}")
endif()
message(STATUS "version ${VERSION}: ${PROGRAMS} ${DLL}")
