# Writes the module definition file of the stand-in's host module TOMIKS.dll:
# every host function (and the feature function) by ordinal only, and the
# stand-in's control functions (namespace standin) by name.
#
#   cmake -DNM=<nm> -DORDINALS=<file with one ordinal per line> -DOUTPUT=<def>
#         -DOBJECTS=<obj;obj;...> -P make_tomiks_def.cmake
#
# The ordinal list is made at configure time from the plug-in's host function
# table; the names come from the compiled objects. A stdcall function is
# defined as "_ordinal_N@bytes": its line names that symbol, so the export
# needs no fix-up by the linker.
cmake_minimum_required(VERSION 3.25)
foreach(var NM ORDINALS OUTPUT OBJECTS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_tomiks_def: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND ${NM} --defined-only --extern-only ${OBJECTS}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "make_tomiks_def: ${NM} failed")
endif()
string(REPLACE "\n" ";" lines "${symbols}")

# Defined symbols: "_ordinal_N[@bytes]" by ordinal, "__ZN7standin..." names.
set(control_names "")
set(control_data "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) _(ordinal_([0-9]+)(@[0-9]+)?)$")
    set(kind "${CMAKE_MATCH_1}")
    set(ordinal "${CMAKE_MATCH_3}")
    set(symbol_${ordinal} "${CMAKE_MATCH_2}")
    if(kind MATCHES "^[BDR]$")
      set(data_${ordinal} TRUE)
    endif()
  elseif(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) _(_ZNK?7standin[A-Za-z0-9_]*)$")
    set(kind "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    if(kind MATCHES "^[BDR]$")
      list(APPEND control_data "${name}")
    else()
      list(APPEND control_names "${name}")
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES control_names)
list(REMOVE_DUPLICATES control_data)
list(SORT control_names)
list(SORT control_data)

file(STRINGS ${ORDINALS} ordinals REGEX "^[0-9]+$")
set(def "LIBRARY TOMIKS.dll\nEXPORTS\n")
set(missing "")
foreach(ordinal IN LISTS ordinals)
  if(NOT DEFINED symbol_${ordinal})
    list(APPEND missing ${ordinal})
    continue()
  endif()
  set(kind "")
  if(data_${ordinal})
    set(kind " DATA")
  endif()
  string(APPEND def "ordinal_${ordinal}=${symbol_${ordinal}} @${ordinal} NONAME${kind}\n")
endforeach()
if(missing)
  message(FATAL_ERROR "make_tomiks_def: the stand-in defines no host function for ordinal(s) ${missing}")
endif()
foreach(name IN LISTS control_names)
  string(APPEND def "${name}\n")
endforeach()
foreach(name IN LISTS control_data)
  string(APPEND def "${name} DATA\n")
endforeach()

file(WRITE ${OUTPUT} "${def}")
