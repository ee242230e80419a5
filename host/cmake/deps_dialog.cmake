# What the host stand-in's terminal dialogs need: the wide-character ncurses
# library. With it STANDIN_SOURCES keeps dialogs/dialog_terminal_ncurses.cpp
# and STANDIN_EXTRA_LIBS gets the INTERFACE target standin_dialog, which
# carries the library; without it (the 32-bit build has no 32-bit ncurses,
# Windows has none) it keeps dialogs/dialog_terminal_none.cpp instead, and
# dialogs are answered by scripts only. Included after STANDIN_SOURCES is set.
include_guard(GLOBAL)

set(STANDIN_TERMINAL_DIALOGS OFF)
if(NOT WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Only a library of the target's own architecture will do.
    find_library(STANDIN_NCURSESW_LIBRARY NAMES ncursesw PATHS /usr/lib/i386-linux-gnu /usr/lib32 NO_DEFAULT_PATH)
  else()
    find_library(STANDIN_NCURSESW_LIBRARY NAMES ncursesw)
  endif()
  find_path(STANDIN_NCURSES_INCLUDE NAMES ncurses.h)
  if(STANDIN_NCURSESW_LIBRARY AND STANDIN_NCURSES_INCLUDE)
    set(STANDIN_TERMINAL_DIALOGS ON)
    add_library(standin_dialog INTERFACE)
    target_link_libraries(standin_dialog INTERFACE ${STANDIN_NCURSESW_LIBRARY})
    target_include_directories(standin_dialog INTERFACE ${STANDIN_NCURSES_INCLUDE})
    list(APPEND STANDIN_EXTRA_LIBS standin_dialog)
    message(STATUS "Host stand-in: terminal dialogs with ${STANDIN_NCURSESW_LIBRARY}")
  else()
    message(STATUS "Host stand-in: no ncursesw, dialogs are answered by scripts only")
  endif()
endif()
if(STANDIN_TERMINAL_DIALOGS)
  list(FILTER STANDIN_SOURCES EXCLUDE REGEX "/dialogs/dialog_terminal_none\\.cpp$")
else()
  list(FILTER STANDIN_SOURCES EXCLUDE REGEX "/dialogs/dialog_terminal_ncurses\\.cpp$")
endif()
