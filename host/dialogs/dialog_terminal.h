// Running a dialog on the terminal (ncurses): drawn in character cells,
// answered with the keyboard. dialog_terminal_ncurses.cpp where ncurses is
// found, dialog_terminal_none.cpp elsewhere (host/cmake/deps_dialog.cmake).
#pragma once

#include "dialogs/dialog_model.h"

namespace standin {

// True when the stand-in was built with the terminal UI.
bool terminalDialogBuilt();
// True when the terminal UI can run now: built, and standard input and
// output are a terminal.
bool terminalDialogUsable();
// Runs the dialog until it is closed.
void runTerminalDialog(DialogModel& model);

}  // namespace standin
