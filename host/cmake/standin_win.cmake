# Windows build of the host stand-in, included by host/CMakeLists.txt:
#   TOMIKS.dll   the host's main module: every host function and the feature
#                function exported by ordinal only, the stand-in's control
#                functions (namespace standin) by name, for tests and tomiks.exe;
#   SPOINKA.dll  the connector, its data item 30008 holding TOMIKS's handle;
#   standin_host what a test or tool links to have the host in its process.
# Each folder's _win.cpp files are taken, its _posix.cpp files left out.
set(STANDIN_DIR ${CMAKE_CURRENT_SOURCE_DIR})
set(STANDIN_CMAKE_DIR ${STANDIN_DIR}/cmake)
include(${STANDIN_CMAKE_DIR}/deps_http.cmake)

standin_sources(STANDIN_SOURCES ${STANDIN_AREAS})
include(${STANDIN_CMAKE_DIR}/deps_dialog.cmake)

add_library(standin_objs OBJECT ${STANDIN_SOURCES})
target_include_directories(standin_objs PUBLIC ${STANDIN_DIR} ${CMAKE_SOURCE_DIR}/src)

# The ordinals the host module exports: the plug-in's host function table
# plus the feature function 30006.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/hostlink/host_function_list.h _standin_rows REGEX "^HOST_FUNCTION\\(")
set(_standin_ordinals "30006")
foreach(row ${_standin_rows})
  if(row MATCHES "^HOST_FUNCTION\\([A-Za-z0-9_]+, *([0-9]+)\\)")
    list(APPEND _standin_ordinals ${CMAKE_MATCH_1})
  endif()
endforeach()
list(REMOVE_DUPLICATES _standin_ordinals)
string(REPLACE ";" "\n" _standin_ordinal_lines "${_standin_ordinals}")
set(STANDIN_ORDINALS_FILE ${CMAKE_CURRENT_BINARY_DIR}/TOMIKS_ordinals.txt)
file(CONFIGURE OUTPUT ${STANDIN_ORDINALS_FILE} CONTENT "${_standin_ordinal_lines}\n")

find_program(STANDIN_NM NAMES i686-w64-mingw32-nm REQUIRED)
find_program(STANDIN_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)
set(STANDIN_DEF ${CMAKE_CURRENT_BINARY_DIR}/TOMIKS.def)
add_custom_command(OUTPUT ${STANDIN_DEF}
  COMMAND ${CMAKE_COMMAND} -DNM=${STANDIN_NM} -DORDINALS=${STANDIN_ORDINALS_FILE} -DOUTPUT=${STANDIN_DEF}
          "-DOBJECTS=$<TARGET_OBJECTS:standin_objs>" -P ${STANDIN_CMAKE_DIR}/make_tomiks_def.cmake
  DEPENDS $<TARGET_OBJECTS:standin_objs> ${STANDIN_ORDINALS_FILE} ${STANDIN_CMAKE_DIR}/make_tomiks_def.cmake
  COMMENT "Export list of TOMIKS.dll"
  VERBATIM)

add_library(TOMIKS SHARED $<TARGET_OBJECTS:standin_objs> ${STANDIN_DEF})
set_target_properties(TOMIKS PROPERTIES PREFIX "" OUTPUT_NAME TOMIKS)
target_include_directories(TOMIKS PUBLIC ${STANDIN_DIR} ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(TOMIKS PRIVATE winhttp)
add_custom_command(TARGET TOMIKS POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${STANDIN_OBJDUMP} -DMODULE=$<TARGET_FILE:TOMIKS>
          -P ${STANDIN_CMAKE_DIR}/check_tomiks_exports.cmake
  VERBATIM)

add_library(SPOINKA SHARED ${STANDIN_DIR}/connector/spoinka_win.cpp ${STANDIN_DIR}/connector/SPOINKA.def)
set_target_properties(SPOINKA PROPERTIES PREFIX "" OUTPUT_NAME SPOINKA)
target_include_directories(SPOINKA PRIVATE ${STANDIN_DIR} ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(SPOINKA PRIVATE TOMIKS)

# What a test or tool links to have the host in its process; the modules are
# found beside the executable (all in bin/).
add_library(standin_host INTERFACE)
target_link_libraries(standin_host INTERFACE SPOINKA TOMIKS)
target_include_directories(standin_host INTERFACE ${STANDIN_DIR})

# tomiks.exe, the host program: the same commands as on Linux; loading the
# plug-in is Windows's own (LoadLibrary, GetProcAddress by ordinal).
standin_sources(STANDIN_PROGRAM_SOURCES program)
if(STANDIN_PROGRAM_SOURCES)
  add_executable(tomiks ${STANDIN_PROGRAM_SOURCES})
  target_include_directories(tomiks PRIVATE ${STANDIN_DIR}/program ${STANDIN_DIR} ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(tomiks PRIVATE MG_VERSION="${PROJECT_VERSION}")
  target_link_libraries(tomiks PRIVATE standin_host)
  # The program loads the plug-in from beside itself.
  add_dependencies(tomiks marketgate)
endif()

include(${CMAKE_SOURCE_DIR}/tests/wine/wine_tests.cmake)

# The stand-in's own tests on Windows run a Winsock server in their process.
# tests/ is read after host/: linked once the whole tree has been read.
function(standin_link_windows_tests)
  if(TARGET standin_tests)
    target_link_libraries(standin_tests PRIVATE ws2_32)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL standin_link_windows_tests)
