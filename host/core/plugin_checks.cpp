// What the host checks of a plug-in and offers it at load: module
// verification, interface level, commands, the feature function, and which
// of its ordinals the host module exports at all.
#include <cstring>

#include "frame/command_descriptor.h"
#include "core/host_exports.h"

using standin::recordCall;
using standin::state;

namespace {

// Request code 1 of the feature function: which of the given features the
// host offers.
constexpr uint32_t kFeatureRequest = 1;

const CommandDescriptor* addedCommand(uint16_t number) {
  auto found = state().commands.find(number);
  return found != state().commands.end() ? static_cast<const CommandDescriptor*>(found->second) : nullptr;
}

}  // namespace

// A refusing host writes its own explanation into the buffer it is given.
STANDIN_EXPORT int32_t MG_STDCALL ordinal_30018(void*, char* buffer, int32_t capacity) {
  recordCall(30018, std::to_string(capacity));
  if (buffer != nullptr && capacity > 0) {
    std::strncpy(buffer, state().verifyRefuses ? state().verifyRefusal.c_str() : "", capacity - 1);
    buffer[capacity - 1] = '\0';
  }
  return state().verifyRefuses ? 1 : 0;
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_51594() {
  recordCall(51594);
  return state().interfaceLevel;
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_52081(const void* descriptor) {
  const auto* command = static_cast<const CommandDescriptor*>(descriptor);
  recordCall(52081, command != nullptr ? std::to_string(command->number) : "null");
  if (command != nullptr) state().commands[command->number] = command;
  return 0;
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_52082(uint32_t number) {
  recordCall(52082, std::to_string(number));
  state().commands.erase(static_cast<uint16_t>(number));
  return 0;
}

STANDIN_EXPORT uint32_t MG_CDECL ordinal_30006(uint32_t code, uint32_t value) {
  recordCall(30006, std::to_string(code) + " " + std::to_string(value));
  if (code != kFeatureRequest) return 0;
  return value & ~state().missingFeatures;
}

// Asked by GetProcAddress for every ordinal looked up in this module (see
// platform/windows_api.h): recorded, and those configured as missing are
// not found.
STANDIN_EXPORT int module_withholds_ordinal(unsigned ordinal) {
  standin::recordOrdinalLookup(ordinal);
  return standin::ordinalWithheld(ordinal) ? 1 : 0;
}

namespace standin {

void setVerifyRefusal(const std::string& text) {
  state().verifyRefuses = true;
  state().verifyRefusal = text;
}

void clearVerifyRefusal() {
  state().verifyRefuses = false;
  state().verifyRefusal.clear();
}

void setMissingFeatures(uint32_t mask) { state().missingFeatures = mask; }

bool commandAdded(uint16_t number) { return addedCommand(number) != nullptr; }

std::string commandCaption(uint16_t number) {
  const CommandDescriptor* command = addedCommand(number);
  return command != nullptr && command->caption != nullptr ? command->caption : "";
}

int32_t runCommand(uint16_t number) {
  const CommandDescriptor* command = addedCommand(number);
  if (command == nullptr || command->handler == nullptr) return -1;
  return command->handler();
}

}  // namespace standin

STANDIN_CHECK_SIGNATURE(30018, VerifyModuleFn);
STANDIN_CHECK_SIGNATURE(51594, InterfaceLevelFn);
STANDIN_CHECK_SIGNATURE(52081, AddCommandFn);
STANDIN_CHECK_SIGNATURE(52082, RemoveCommandFn);
STANDIN_CHECK_SIGNATURE(30006, FeatureFunction);
