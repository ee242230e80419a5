# What the stand-in's universal import needs: SQLite for its document store
# (Debian's libsqlite3-dev, natively and as i386).
include_guard(GLOBAL)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(_standin_sqlite /usr/lib/i386-linux-gnu/libsqlite3.so)
else()
  find_library(_standin_sqlite NAMES sqlite3 REQUIRED)
endif()
if(NOT EXISTS ${_standin_sqlite})
  message(FATAL_ERROR "${_standin_sqlite} is missing: install libsqlite3-dev (and libsqlite3-dev:i386)")
endif()
list(APPEND STANDIN_EXTRA_LIBS ${_standin_sqlite})
