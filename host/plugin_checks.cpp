// What the host checks of a plug-in and offers it at load: module
// verification, interface level, commands, the feature function, and which
// of its ordinals the host module exports at all.
#include "host_exports.h"

using standin::recordCall;
using standin::state;

MG_EXPORT int32_t MG_STDCALL ordinal_30018(void*, char* buffer, int32_t capacity) {
  recordCall(30018, std::to_string(capacity));
  if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
  return 0;
}

MG_EXPORT int32_t MG_STDCALL ordinal_51594() {
  recordCall(51594);
  return state().interfaceLevel;
}

MG_EXPORT int32_t MG_STDCALL ordinal_52081(const void*) {
  recordCall(52081);
  return 0;
}

MG_EXPORT int32_t MG_STDCALL ordinal_52082(uint32_t number) {
  recordCall(52082, std::to_string(number));
  return 0;
}

MG_EXPORT uint32_t MG_CDECL ordinal_30006(uint32_t code, uint32_t value) {
  recordCall(30006, std::to_string(code) + " " + std::to_string(value));
  return 0;
}

// Ordinals configured as missing are not found by GetProcAddress.
MG_EXPORT int module_withholds_ordinal(unsigned ordinal) { return standin::ordinalWithheld(ordinal) ? 1 : 0; }

STANDIN_CHECK_SIGNATURE(30018, VerifyModuleFn);
STANDIN_CHECK_SIGNATURE(51594, InterfaceLevelFn);
STANDIN_CHECK_SIGNATURE(52081, AddCommandFn);
STANDIN_CHECK_SIGNATURE(52082, RemoveCommandFn);
STANDIN_CHECK_SIGNATURE(30006, FeatureFunction);
