// State of the stand-in's dialog engine, part of the host state (reset with
// it): the scripted answers still to come, the dialogs run and drawn, and
// the dialog objects the plug-in holds and the faults found in its use.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "control/dialog_control.h"

namespace standin {

struct AuxDialogRecord {
  const void* dialog;
  int32_t value;
};

struct DialogState {
  std::deque<std::string> answers;  // one script per coming dialog
  bool terminal = false;
  std::string openedRendering;
  std::string closedRendering;
  std::string lastError;
  std::vector<DialogRun> runs;
  int liveBases = 0;
  std::map<const void*, AuxDialogRecord> liveAux;  // by object address
  int32_t nextAuxValue = 7001;
  std::vector<std::string> faults;
  std::vector<DialogOperationCall> operationCalls;
};

}  // namespace standin
