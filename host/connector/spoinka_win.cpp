// The host connector library "SPOINKA.dll" on Windows: its data item 30008
// holds the module handle of the host's main module "TOMIKS", found when the
// library is initialised.
#include <windows.h>

#include "control/host_control.h"

extern "C" {
HMODULE spoinka_host_module = nullptr;
}

namespace {

// Referring to one of the host module's functions makes TOMIKS.dll a load-time
// dependency of this library, so it is in the process (and initialised)
// before the handle is looked up below.
__attribute__((used)) long (*const hostModuleAnchor)() = &standin::liveBlocks;

struct FindHostModule {
  FindHostModule() { spoinka_host_module = GetModuleHandleA("TOMIKS"); }
} findHostModule;

}  // namespace
