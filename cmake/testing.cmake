# GoogleTest for every build: Debian's packaged library natively, its
# sources (/usr/src/googletest) when cross-compiling for i386 or Windows.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Test labels, for ctest -L and -LE (README, "Tests"):
#   unit     the plug-in's parts in the test process, beside the host stand-in
#   e2e      the programs at work: tomiks loading the plug-in, the release package
#   standin  the stand-ins themselves: the host stand-in and mockgate
#   fuzz     the fuzz targets' inputs replayed
#   check    the build's outputs checked: layers, versions, exports, options
#   slow     a test that takes 20 seconds or more on a 2-core build machine
#   i386, win32  every test of that cross build (the preset's name)
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(MG_PRESET_LABEL win32)
elseif(CMAKE_CROSSCOMPILING)
  set(MG_PRESET_LABEL i386)
else()
  set(MG_PRESET_LABEL "")
endif()

# mg_label_tests(LABEL... TESTS NAME...): the labels, and the preset's own.
function(mg_label_tests)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "TESTS")
  set_property(TEST ${arg_TESTS} APPEND PROPERTY LABELS ${arg_UNPARSED_ARGUMENTS} ${MG_PRESET_LABEL})
endfunction()

# The kind of a test program by where its first source lies: tests/e2e is
# e2e, the stand-ins' tests (tests/standin, mockservice, host) standin,
# fuzz/ fuzz, the rest unit.
function(mg_test_kind target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(dir ${target} SOURCE_DIR)
  list(GET sources 0 first)
  get_filename_component(first ${first} ABSOLUTE BASE_DIR ${dir})
  file(RELATIVE_PATH first ${PROJECT_SOURCE_DIR} ${first})
  if(first MATCHES "^tests/e2e/")
    set(${out} e2e PARENT_SCOPE)
  elseif(first MATCHES "^(tests/standin|mockservice|host)/")
    set(${out} standin PARENT_SCOPE)
  elseif(first MATCHES "^fuzz/")
    set(${out} fuzz PARENT_SCOPE)
  else()
    set(${out} unit PARENT_SCOPE)
  endif()
endfunction()

# Registers a test executable: each case is its own CTest test natively; a
# cross-compiled executable runs as one test through the emulator. Its entry
# is tests/support/main (GoogleTest's, with --version and unknown options
# refused), which takes precedence over the one of GTest::gtest_main. Labels:
# its kind (see mg_test_kind), and the preset's.
set(MG_GTEST_MAIN ${PROJECT_SOURCE_DIR}/tests/support/main/gtest_main.cpp)
function(mg_add_gtest target)
  mg_test_kind(${target} kind)
  target_sources(${target} PRIVATE ${MG_GTEST_MAIN})
  # The version on the entry's file alone, so that a new version rebuilds no test.
  set_source_files_properties(${MG_GTEST_MAIN} PROPERTIES COMPILE_DEFINITIONS "MG_VERSION=\"${PROJECT_VERSION}\"")
  if(CMAKE_CROSSCOMPILING AND WIN32)
    # Under Wine (itself under qemu-i386) a whole program takes seconds; a
    # crash exits (the crash debugger is off), a hang ends at the time-out,
    # which leaves room for the import cases (about 190 s on a quiet machine).
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600)
    mg_label_tests(${kind} TESTS ${target})
  elseif(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600)
    mg_label_tests(${kind} TESTS ${target})
  else()
    # One label only: the discovered tests' properties take no lists.
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 LABELS ${kind})
  endif()
endfunction()
