// Entry 30001: the load check that decides whether the plug-in can serve
// this host, and the unload that takes everything back out of it.
#include "frame/load_sequence.h"

#include <cstring>

#include "frame/command_descriptor.h"
#include "frame/feature_check.h"
#include "frame/frame_state.h"
#include "hostlink/host_binding.h"
#include "hostlink/host_services.h"
#include "frame/plugin_identity.h"
#include "frame/table_hooks.h"

int32_t loadPlugin(host_abi::FeatureFunction featureFunction, char* nameBuffer) {
  FrameState& frame = frameState();
  frame.featureFunction = featureFunction;
  if (nameBuffer != nullptr) std::memcpy(nameBuffer, kDisplayName, sizeof kDisplayName);
  // Asked first, so that whatever refuses below, the diagnosis reports the
  // features the host really lacks (none, on a compliant host).
  if (checkHostFeatures(kRequiredFeatures) != 0) return -1;
  // A host without some of the functions would be called through an empty
  // cell sooner or later.
  if (!hostFunctionsComplete()) return -1;
  if (hostVerifyModule(frame.ownModule, nullptr, 0) != 0) return -1;
  if (hostInterfaceLevel() != kInterfaceLevel) return -1;
  if (checkTableSizes() != 0) return -1;
  hostAddCommand(&importCommandDescriptor);
  return 0;
}

int32_t unloadPlugin() {
  FrameState& frame = frameState();
  restoreTableHooks();
  hostRemoveCommand(importCommandDescriptor.number);
  if (frame.handlerRegistration != nullptr) {
    hostWithdrawHandler(kDocumentEventCode);
    frame.handlerRegistration = nullptr;
  }
  return 0;
}
