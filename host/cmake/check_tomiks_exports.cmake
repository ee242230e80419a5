# Fails the build when TOMIKS.dll exports a host function by name: the host
# exports them by ordinal only, and so must the stand-in.
#   cmake -DOBJDUMP=<objdump> -DMODULE=<TOMIKS.dll> -P check_tomiks_exports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "check_tomiks_exports: ${OBJDUMP} -p ${MODULE} failed")
endif()
string(REGEX MATCHALL "\\] ordinal_[0-9]+[@0-9]*" named "${dump}")
if(named)
  message(FATAL_ERROR "TOMIKS.dll exports host functions by name (${named}): "
    "a stand-in file marks them dllexport; host functions are exported through the module definition only")
endif()
