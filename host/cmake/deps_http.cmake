# What the host stand-in's HTTP client (http_client.cpp, cpp-httplib) needs, per build:
# sets STANDIN_HTTP_LIBS, STANDIN_HTTP_INCLUDES and STANDIN_HTTP_DEFINITIONS, and the
# INTERFACE target standin_http that carries all three (STANDIN_HTTP_LIBS names it, so
# linking ${STANDIN_HTTP_LIBS} brings the definitions and include paths along).
#
# Debian's libcpp-httplib is built with OpenSSL, zlib and Brotli support, and those
# switches change the layout of its classes: every file that includes httplib.h must
# be compiled with the same definitions, or the objects would not match the library.
include_guard(GLOBAL)

set(STANDIN_HTTP_DEFINITIONS CPPHTTPLIB_OPENSSL_SUPPORT CPPHTTPLIB_ZLIB_SUPPORT CPPHTTPLIB_BROTLI_SUPPORT)
set(STANDIN_HTTP_INCLUDES "")
set(_standin_http_link "")

if(WIN32)
  # Windows builds have their own HTTP client; http_client.cpp compiles to nothing.
  set(STANDIN_HTTP_DEFINITIONS "")
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 32-bit x86: the runtime library by its full path; httplib.h is shared by all
  # architectures, but OpenSSL's configuration header is per architecture.
  set(_standin_http_library /usr/lib/i386-linux-gnu/libcpp-httplib.so.0.11)
  if(NOT EXISTS ${_standin_http_library})
    message(FATAL_ERROR "${_standin_http_library} is missing: install libcpp-httplib0.11:i386")
  endif()
  set(_standin_http_link ${_standin_http_library})
  if(NOT EXISTS /usr/include/i386-linux-gnu/openssl/configuration.h)
    # Without libssl-dev:i386, derive the 32-bit configuration header from the
    # 64-bit one: they differ only in the word size of OpenSSL's big numbers and
    # one 64-bit-only elliptic-curve option. httplib.h uses OpenSSL's types by
    # pointer only, so nothing else of OpenSSL's layout matters here.
    set(_standin_ssl64 /usr/include/x86_64-linux-gnu/openssl)
    set(_standin_ssl32 ${CMAKE_BINARY_DIR}/standin_i386/openssl)
    if(NOT EXISTS ${_standin_ssl64}/configuration.h)
      message(FATAL_ERROR "OpenSSL headers missing: install libssl-dev:i386 (or libssl-dev)")
    endif()
    file(READ ${_standin_ssl64}/configuration.h _standin_conf)
    string(REPLACE "#  undef BN_LLONG" "#  define BN_LLONG" _standin_conf "${_standin_conf}")
    string(REPLACE "#  define SIXTY_FOUR_BIT_LONG" "#  undef SIXTY_FOUR_BIT_LONG" _standin_conf "${_standin_conf}")
    string(REPLACE "#  undef THIRTY_TWO_BIT" "#  define THIRTY_TWO_BIT" _standin_conf "${_standin_conf}")
    string(REPLACE "# ifndef OPENSSL_NO_ASAN"
      "# ifndef OPENSSL_NO_EC_NISTP_64_GCC_128\n#  define OPENSSL_NO_EC_NISTP_64_GCC_128\n# endif\n# ifndef OPENSSL_NO_ASAN"
      _standin_conf "${_standin_conf}")
    set(_standin_old_conf "")
    if(EXISTS ${_standin_ssl32}/configuration.h)
      file(READ ${_standin_ssl32}/configuration.h _standin_old_conf)
    endif()
    if(NOT _standin_old_conf STREQUAL _standin_conf)
      file(WRITE ${_standin_ssl32}/configuration.h "${_standin_conf}")
    endif()
    file(COPY_FILE ${_standin_ssl64}/opensslconf.h ${_standin_ssl32}/opensslconf.h ONLY_IF_DIFFERENT)
    set(STANDIN_HTTP_INCLUDES ${CMAKE_BINARY_DIR}/standin_i386)
  endif()
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(STANDIN_HTTPLIB REQUIRED cpp-httplib)
  set(_standin_http_link ${STANDIN_HTTPLIB_LINK_LIBRARIES})
  set(STANDIN_HTTP_INCLUDES ${STANDIN_HTTPLIB_INCLUDE_DIRS})
endif()

add_library(standin_http INTERFACE)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_compile_definitions(standin_http INTERFACE ${STANDIN_HTTP_DEFINITIONS})
  target_include_directories(standin_http SYSTEM BEFORE INTERFACE ${STANDIN_HTTP_INCLUDES})
  target_link_libraries(standin_http INTERFACE ${_standin_http_link} Threads::Threads)
endif()
set(STANDIN_HTTP_LIBS standin_http)

# The stand-in's own tests (tests/standin) run an httplib server in their process,
# so they need the same definitions and the library. tests/ is read after host/:
# link them once the whole tree has been read.
function(standin_link_http_tests)
  if(TARGET standin_tests AND NOT WIN32)
    target_link_libraries(standin_tests PRIVATE standin_http)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL standin_link_http_tests)
