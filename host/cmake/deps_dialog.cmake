# What the host stand-in's terminal dialogs (dialog_terminal.cpp) need: the
# wide-character ncurses library. Without it (the 32-bit build has no 32-bit
# ncurses, Windows has none) the terminal UI is left out and dialogs are
# answered by scripts only. Appends to STANDIN_EXTRA_LIBS the INTERFACE
# target standin_dialog, which carries the library and the definition
# STANDIN_HAVE_NCURSES.
include_guard(GLOBAL)

if(NOT WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Only a library of the target's own architecture will do.
    find_library(STANDIN_NCURSESW_LIBRARY NAMES ncursesw PATHS /usr/lib/i386-linux-gnu /usr/lib32 NO_DEFAULT_PATH)
  else()
    find_library(STANDIN_NCURSESW_LIBRARY NAMES ncursesw)
  endif()
  find_path(STANDIN_NCURSES_INCLUDE NAMES ncurses.h)
  if(STANDIN_NCURSESW_LIBRARY AND STANDIN_NCURSES_INCLUDE)
    add_library(standin_dialog INTERFACE)
    target_link_libraries(standin_dialog INTERFACE ${STANDIN_NCURSESW_LIBRARY})
    target_compile_definitions(standin_dialog INTERFACE STANDIN_HAVE_NCURSES)
    list(APPEND STANDIN_EXTRA_LIBS standin_dialog)
    message(STATUS "Host stand-in: terminal dialogs with ${STANDIN_NCURSESW_LIBRARY}")
  else()
    message(STATUS "Host stand-in: no ncursesw, dialogs are answered by scripts only")
  endif()
endif()
