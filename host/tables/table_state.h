// State of the stand-in's document tables and numbered handlers, part of
// the host state (reset with it). The table objects themselves and the
// handler cells live beside it and are only set back, never freed, so
// that addresses a plug-in kept stay valid.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "control/table_control.h"

namespace standin {

struct TableState {
  bool prepared = false;  // table objects set back to a fresh host's
  std::vector<TableOperationCall> operationCalls;
  std::map<int, HandlerFunction> handlers;                     // code -> current handler
  std::map<int, std::vector<HandlerFunction*>> registrations;  // code -> cells, latest last
  std::string fieldText;                                       // what 52033 returned last
};

}  // namespace standin
