// Control of the host stand-in from tests and from the tomiks program: what
// the host is configured to be (interface level, missing functions, quiet
// mode, failing allocations ...) and what it recorded of the plug-in's calls.
// The plug-in never includes this file; it reaches the host only by ordinal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct ShownMessage {
  std::string kind;   // "message", "titled", "notice", "wait", "fatal"
  std::string title;  // Mazovia bytes as given
  std::string text;   // Mazovia bytes, formatted
};

struct CallRecord {
  unsigned ordinal;
  std::string detail;
};

// Back to a compliant host with nothing recorded; the live-block count and
// the working directory are kept.
void resetState();

// Memory.
long liveBlocks();
// A release or reallocation of a block the host never handed out or has
// already taken back is refused and reported on stderr; by default the
// process then stops. With stopping off it is only counted.
long refusedReleases();
void setRefusedReleaseStops(bool stops);
long allocationCount();
void failNthAllocation(long n);  // the n-th allocation from now fails; 0: none fails

// What kind of host this is.
void setInterfaceLevel(int level);       // 112 by default
void withholdOrdinal(unsigned ordinal);  // GetProcAddress will not find it
void clearWithheldOrdinals();
bool ordinalWithheld(unsigned ordinal);
// Every ordinal looked up in the host module, in order, since the process
// started or the record was last cleared; resetState keeps it, so that the
// lookups of the plug-in's load stay visible. Empty on Windows, where the
// system answers GetProcAddress without asking the module.
const std::vector<unsigned>& ordinalLookups();
void recordOrdinalLookup(unsigned ordinal);
void clearOrdinalLookups();
// The plug-in checks: a host whose module verification refuses (with its
// own explanation), and features the feature function denies.
void setVerifyRefusal(const std::string& text);  // refuses from now on
void clearVerifyRefusal();
void setMissingFeatures(uint32_t mask);  // 0 by default
void setQuietMode(bool quiet);
void setWorkingDirectory(const std::string& directory);  // the process's directory by default
const std::string& workingDirectory();

// Output: messages are always recorded; with echo on they are also printed
// to standard output in UTF-8 (plain: without markup bytes).
void setEcho(bool echo, bool plain = false);
void echoLine(const std::string& mazoviaText);
void setNoticeFlagAnswer(int answer);  // written through the notice's flag; -1 leaves it
const std::vector<ShownMessage>& messages();
void recordMessage(const std::string& kind, const std::string& title, const std::string& text);
void clearMessages();
bool waitNoticeShown();  // a wait notice is on screen now

// Records a host function call (ordinal and a short detail) while call
// recording is on (setCallRecording) and counts it; see setExitAtCall. The
// memory functions and the formatted write (52541) never record, they are
// only counted.
void recordCall(unsigned ordinal, const std::string& detail = std::string());
// Counts a call of a host function that keeps no record (memory, the
// formatted write): the process ends here when it is the one set below.
void countHostCall();
// The process ends at once, as if killed (no clean-up, no flush, exit
// status 137), when the plug-in makes its N-th host function call; 0: never.
void setExitAtCall(long call);
// The host's file functions (open, formatted write, close) fail once that
// many bytes went into files from now on, as on a full disk: a write gives
// what fits and then -1, an open for writing gives null and a close of a
// file a write into failed gives EOF, each with errno ENOSPC; -1: no limit.
void setWriteFailsAfter(int64_t bytes);
const std::vector<CallRecord>& calls();
int callCount(unsigned ordinal);
void clearCalls();
// Recording is on after every reset; a long run that needs no record (the
// import benchmark) turns it off and keeps its memory flat. Calls are
// counted all the same, so setExitAtCall means the same call either way.
void setCallRecording(bool on);

// Commands the plug-in added (by number): the host calls the handler.
bool commandAdded(uint16_t number);
std::string commandCaption(uint16_t number);  // Mazovia bytes
int32_t runCommand(uint16_t number);          // -1 when no such command

// The order service (HTTP function 51757). Requests go to "https://<host>/<path>"
// as the plug-in names them, or to the base address set here for every request
// ("http://127.0.0.1:PORT" sends them to a local service stand-in; "" returns to
// the named host). The same setters as in http_client.h: the limits of one
// request (total seconds, reply bytes; 0 keeps a default) are told there.
void setServiceBaseUrl(const std::string& url);
void setRequestLimits(long totalSeconds, size_t replyBytes);

// One call of the HTTP function as the host received it.
struct HttpRequestRecord {
  std::string host, path, replyFile, headers, body, verb;
  int32_t fixed[8];     // the fixed arguments 4, 5, 6, 9, 11, 12, 13 and 18, in order
  int32_t auxCapacity;  // argument 15
  bool auxGiven;        // arguments 14 and 16 were non-null
  int result;           // what the function returned (-1 or the HTTP status)
};
const std::vector<HttpRequestRecord>& httpRequests();

// The text input dialog (52207). Answers are taken from a queue that tests fill;
// when it is empty the question is asked on the terminal (prompt shown in UTF-8,
// one line read; an empty line keeps the field's text, end of input cancels), or,
// when standard input is not a terminal, the dialog is cancelled. A confirmed
// answer is stored as given (at most 255 bytes, cut at a UTF-8 character boundary)
// and the dialog returns 20481; a cancel leaves the field and returns 20482.
void scriptTextInput(const std::string& answer);
void scriptTextInputCancel();

struct TextInputShown {
  std::string prompt;       // Mazovia bytes as given
  std::string initialText;  // the field's text when the dialog opened
  uint16_t record[4];       // the 8-byte record given with the question
  int32_t value;            // the last argument
};
const std::vector<TextInputShown>& textInputs();

}  // namespace standin

// The universal import: current date, exchange rates and the document store.
#include "control/import_control.h"

// The dialog engine, and the document tables with the numbered handlers.
#include "control/dialog_control.h"
#include "control/table_control.h"
