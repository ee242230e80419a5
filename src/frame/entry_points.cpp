// The entry points (see entry_points.h). The two forwarding handlers are
// never set by this plug-in, so 30009 and 30010 give their fixed results.
#include "frame/entry_points.h"

#include "frame/diagnosis.h"
#include "frame/load_sequence.h"

namespace {
ForwardEntry forwardingHandler = nullptr;
ForwardValueEntry forwardingValueHandler = nullptr;
}  // namespace

int32_t MG_STDCALL ordinal_30001(host_abi::FeatureFunction featureFunction, char* nameBuffer) {
  if (featureFunction == nullptr) return unloadPlugin();
  return loadPlugin(featureFunction, nameBuffer);
}

int32_t MG_STDCALL ordinal_30008(uint32_t request) {
  if (request == 0) return startPlugin();
  diagnose();
  return 0;
}

int32_t ordinal_30009() { return forwardingHandler != nullptr ? forwardingHandler() : 0; }

int32_t MG_STDCALL ordinal_30010(uint32_t value) {
  return forwardingValueHandler != nullptr ? forwardingValueHandler(value) : kNoForwardingResult;
}
