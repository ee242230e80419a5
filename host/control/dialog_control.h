// Control of the stand-in's dialog engine from tests and from the tomiks
// program: answers for the coming dialogs, the drawing of the last dialog,
// and what the host saw of the plug-in's dialog objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// Answers for the next dialog that has none yet (see dialog_script.h for
// the lines: "StatusWePoz=0", "SymbolPrzesylki=kurier", "button=F12" ...).
// Each call queues the answers of one dialog.
void scriptDialogAnswers(const std::string& answers);
// Queues the answers of successive dialogs from a file whose parts are
// separated by lines "---"; false when the file cannot be read.
bool loadDialogAnswers(const std::string& path);
int pendingDialogAnswers();
void clearDialogAnswers();

// A dialog without queued answers runs on the terminal when this is on, the
// stand-in was built with its terminal UI and both standard input and
// output are a terminal; otherwise it closes at once as if ESC was pressed.
void setTerminalDialogs(bool use);
bool terminalDialogsBuilt();

// The last dialog drawn in character cells (frame height lines of frame
// width cells, UTF-8), as it opened or as it closed.
enum class DialogMoment { opened, closed };
std::string lastDialogRendering(DialogMoment moment = DialogMoment::opened);
// Why the last dialog was refused or its answers failed; "" when it ran.
const std::string& lastDialogError();

// One run of the dialog function, as the host saw it.
struct DialogRun {
  int32_t fixedFirst = 0;      // the third argument (1)
  int32_t fixedSecond = 0;     // the fifth argument (0)
  int32_t secondAuxValue = 0;  // the sixth argument
  int32_t firstAuxValue = 0;   // the seventh argument
  std::string answeredBy;      // "script", "terminal", "none", or "refused"
  int result = 0;
};
const std::vector<DialogRun>& dialogRuns();

// Dialog objects: base parts and auxiliary objects built and not destroyed,
// and every misuse the host noticed (a base destroyed twice, an auxiliary
// object given another function, aux values that are not this dialog's ...).
int liveDialogObjects();
int liveAuxDialogObjects();
const std::vector<std::string>& dialogFaults();

// Calls of the base class's inherited operations (each takes its object and
// two 32-bit arguments and answers dialogOperationResult of them).
struct DialogOperationCall {
  unsigned ordinal;
  const void* object;
  int32_t first;
  int32_t second;
};
const std::vector<DialogOperationCall>& dialogOperationCalls();
int32_t dialogOperationResult(unsigned ordinal, int32_t first, int32_t second);
// The host's own table of the base class's 35 operations.
void* const* dialogBaseOperations();

}  // namespace standin
