// Internal state of the host stand-in, shared by its host-function files:
// one HostState per process, which resetState (host_control.h) sets back to
// a compliant host with nothing recorded.
#pragma once

#include <cstdint>
#include <map>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "dialogs/dialog_state.h"
#include "control/host_control.h"
#include "tables/table_state.h"

namespace standin {

// A prepared answer of the text input dialog.
struct ScriptedTextInput {
  bool cancel;
  std::string text;
};

struct HostState {
  long allocations = 0;
  long failAllocationAt = 0;
  int interfaceLevel = 112;
  std::set<unsigned> withheld;
  int32_t quietFlag = 0;
  std::string workingDirectory;
  bool echo = false;
  bool plain = false;
  std::string lastEchoedLine;
  int waitNoticeDepth = 0;
  int32_t noticeFlagAnswer = -1;  // written through the notice's flag pointer; -1 leaves it
  std::vector<ShownMessage> messages;
  std::vector<CallRecord> calls;
  bool recordingCalls = true;                   // off: calls are not kept (long runs in a benchmark or the program)
  std::string currentDate;                      // "YY.MM.DD"; empty: from the clock
  std::map<std::string, double> exchangeRates;  // by currency code
  bool verifyRefuses = false;
  std::string verifyRefusal;
  uint32_t missingFeatures = 0;
  bool universalImportFails = false;         // the universal import stores nothing and gives -1
  int64_t writeFailsAfter = -1;              // bytes the file functions take in this run; -1: no limit
  int64_t bytesWritten = 0;                  // bytes written through the file functions in this run
  std::set<void*> failedFiles;               // files a write into failed: their close fails too
  long exitAtCall = 0;                       // the plug-in's host call at which the process ends; 0: none
  long hostCalls = 0;                        // host calls the plug-in made
  std::map<uint16_t, const void*> commands;  // number -> the plug-in's descriptor
  std::vector<HttpRequestRecord> httpRequests;
  std::vector<int32_t> universalImportResults;  // what each run of the universal import returned
  std::deque<ScriptedTextInput> textInputScript;
  std::vector<TextInputShown> textInputs;
  DialogState dialogs;
  TableState tables;
};

HostState& state();

}  // namespace standin
