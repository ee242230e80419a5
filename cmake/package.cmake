# The release package of the Windows build:
#   cmake --build --preset win32 --target package
# makes marketgate-VERSION-win32.zip with the stripped marketgate.dll, the
# installation guide in Polish, an example marketgate.ini (both with CR LF
# line ends) and the license. The DLL's debug information stays beside the
# package as marketgate.dll.debug, named in the DLL by a debug link.
find_program(MG_OBJCOPY NAMES i686-w64-mingw32-objcopy objcopy REQUIRED)

set(MG_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(MG_DEBUG_FILE ${CMAKE_BINARY_DIR}/marketgate.dll.debug)
set(release_files ${MG_RELEASE_DIR}/marketgate.dll)
add_custom_command(OUTPUT ${MG_RELEASE_DIR}/marketgate.dll ${MG_DEBUG_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MG_RELEASE_DIR}
  COMMAND ${MG_OBJCOPY} --only-keep-debug $<TARGET_FILE:marketgate> ${MG_DEBUG_FILE}
  COMMAND ${MG_OBJCOPY} --strip-all --add-gnu-debuglink=${MG_DEBUG_FILE} $<TARGET_FILE:marketgate>
          ${MG_RELEASE_DIR}/marketgate.dll
  DEPENDS marketgate
  COMMENT "Stripping marketgate.dll for the release (debug information in marketgate.dll.debug)")

foreach(pair "package/INSTALACJA.txt;INSTALACJA.txt" "package/marketgate.ini;marketgate.ini" "LICENSE;LICENSE.txt")
  list(GET pair 0 source)
  list(GET pair 1 name)
  add_custom_command(OUTPUT ${MG_RELEASE_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/${source} -DOUT=${MG_RELEASE_DIR}/${name}
            -DPROJECT_VERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/windows_text.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/${source} ${CMAKE_SOURCE_DIR}/cmake/windows_text.cmake)
  list(APPEND release_files ${MG_RELEASE_DIR}/${name})
endforeach()
add_custom_target(release_files ALL DEPENDS ${release_files})

install(FILES ${release_files} DESTINATION . COMPONENT release)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME marketgate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME marketgate-${PROJECT_VERSION}-win32)
# Only the release files, whatever else of the build might install.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};marketgate;release;/")
include(CPack)

# Built, unpacked and checked, and loaded under Wine where it is set up.
if(MOCKGATE_PATH)
  get_filename_component(native_bin ${MOCKGATE_PATH} DIRECTORY)
else()
  set(native_bin ${CMAKE_SOURCE_DIR}/build/bin)
endif()
find_program(MG_PE_OBJDUMP NAMES i686-w64-mingw32-objdump objdump)
add_test(NAME release_package
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check_package.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}
          ${PROJECT_VERSION} ${MG_PE_OBJDUMP} ${CMAKE_RC_COMPILER} ${native_bin})
set_tests_properties(release_package PROPERTIES TIMEOUT 600 RUN_SERIAL ON)
mg_label_tests(e2e slow TESTS release_package)
