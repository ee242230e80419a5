// The state of the plug-in frame that outlives a single call from the host:
// the module's own identity, the host's feature function and the
// registration of the handler under host code 2294.
#pragma once

#include <cstdint>

#include "hostlink/host_abi.h"
#include "platform/windows_api.h"

struct FrameState {
  HMODULE ownModule;
  char moduleFileName[300];
  const char* moduleBaseName;  // points into moduleFileName
  bool hostModuleLookedUp;
  host_abi::FeatureFunction featureFunction;
  host_abi::NumberedHandler* handlerRegistration;  // cell of the previous handler
  uint32_t missingFeatureMask;                     // 0xFFFFFFFF until a feature check
};

FrameState& frameState();

// Back to the state of a freshly loaded library (nothing attached, no
// feature function, no registration): for tests that replay a load.
void resetFrameState();
