# The end-to-end test of the Windows build (included by the Windows host
# stand-in's build, host/cmake/standin_win.cmake): tomiks.exe under Wine beside
# the Linux build of the same sources (the default preset's build/bin, or
# MG_NATIVE_BIN_DIR), each against its own mockgate.
if(NOT TARGET tomiks)
  return()
endif()
if(NOT MG_NATIVE_BIN_DIR)
  if(MOCKGATE_PATH)
    get_filename_component(MG_NATIVE_BIN_DIR ${MOCKGATE_PATH} DIRECTORY)
  else()
    set(MG_NATIVE_BIN_DIR ${CMAKE_SOURCE_DIR}/build/bin)
  endif()
endif()
add_test(NAME tomiks_under_wine
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/tomiks_under_wine.sh $<TARGET_FILE_DIR:tomiks> ${MG_NATIVE_BIN_DIR}
          ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/tomiks-under-wine)
# A crash ends the run with a failure; a hang ends at the time-out. Exit 77:
# no Wine or no Linux build to compare with.
set_tests_properties(tomiks_under_wine PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
mg_label_tests(e2e slow TESTS tomiks_under_wine)
