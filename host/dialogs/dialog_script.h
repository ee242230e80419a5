// Answering a dialog without a terminal: a script of "name=value" lines that
// sets the controls' values, presses keys and names the closing button.
#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace standin {

// Applies the script to the dialog and closes it. Lines:
//   <control>=<value>  a control by its name (the option it edits, e.g.
//                      StatusWePoz, SymbolPrzesylki) or its identifier
//                      ("0x4001"); pick lists take the item's 0-based
//                      index, the check box 0 or 1, the text field its text
//                      (UTF-8, cut to the field's limit; in double quotes
//                      to keep blanks at its ends);
//   keys=<keys>        keys pressed in order, separated by blanks: Up Down
//                      Left Right Tab BackTab Enter Space Backspace Esc F12,
//                      or a text in double quotes that is typed;
//   button=<button>    F12, ESC, or a button's identifier ("0x5001").
// Names and values are trimmed of blanks; blank lines and lines starting
// with '#' are skipped. Without a button
// line the dialog closes with F12, unless its keys closed it already.
// Returns false with a reason when a line cannot be applied; the dialog is
// then left open.
bool runDialogScript(DialogModel& model, const std::string& script, std::string& error);

// Splits a file's text into the scripts of successive dialogs: parts
// separated by lines that hold only "---".
std::vector<std::string> splitDialogScripts(const std::string& text);

}  // namespace standin
