// Dialogs on the terminal in a build without ncurses (see dialog_terminal.h):
// there is no terminal UI, so dialogs are answered by scripts only and one
// that reaches the terminal is left as with ESC.
#include "dialogs/dialog_terminal.h"

namespace standin {

bool terminalDialogBuilt() { return false; }
bool terminalDialogUsable() { return false; }
void runTerminalDialog(DialogModel& model) { model.press(DialogKey::escape); }

}  // namespace standin
