// Cells of the host functions, their binding at attach and on first call,
// and the missing-function list.
#include "hostlink/host_binding.h"

#include <cstdio>
#include <cstdlib>

#include "platform/connector.h"
#include "platform/windows_api.h"

extern "C" {
#define HOST_FUNCTION(role, ordinal) void mg_host_entry_##ordinal();
#include "hostlink/host_function_list.h"
#undef HOST_FUNCTION
}

namespace {

const uint16_t kOrdinals[] = {
#define HOST_FUNCTION(role, ordinal) ordinal,
#include "hostlink/host_function_list.h"
#undef HOST_FUNCTION
};
static_assert(sizeof kOrdinals / sizeof kOrdinals[0] == 99, "the host offers 99 functions to bind");

void* const kEntries[] = {
#define HOST_FUNCTION(role, ordinal) reinterpret_cast<void*>(&mg_host_entry_##ordinal),
#include "hostlink/host_function_list.h"
#undef HOST_FUNCTION
};

void* cells[kHostFunctionCount] = {
#define HOST_FUNCTION(role, ordinal) reinterpret_cast<void*>(&mg_host_entry_##ordinal),
#include "hostlink/host_function_list.h"
#undef HOST_FUNCTION
};

MissingFunctionList missing;

void recordMissing(uint16_t ordinal) {
  uint32_t index = missing.count;
  missing.count = index + 1;
  if (index < 8) missing.ordinals[index] = ordinal;
}

int indexOfOrdinal(uintptr_t ordinal) {
  for (int i = 0; i < kHostFunctionCount; ++i) {
    if (kOrdinals[i] == ordinal) return i;
  }
  return -1;
}

void bindCell(int index) { resolveHostFunction(MAKEINTRESOURCEA(kOrdinals[index]), &cells[index]); }

bool stillUnbound(int index) { return cells[index] == kEntries[index]; }

}  // namespace

// Called by the entry routines with the ordinal they stand for: binds the
// cell when it was never bound and returns the address to continue into.
extern "C"
    __attribute__((used, visibility("hidden")))
#if defined(__i386__)
    __attribute__((force_align_arg_pointer, cdecl))
#endif
    void*
    mg_host_entry_target(uintptr_t ordinal) {
  int index = indexOfOrdinal(ordinal);
  if (index < 0) std::abort();
  if (stillUnbound(index)) bindCell(index);
  if (cells[index] == nullptr) {
    // Callers check availability first; reaching here is a plug-in fault.
    std::fprintf(stderr, "marketgate: host function %u is missing\n", static_cast<unsigned>(ordinal));
    std::abort();
  }
  return cells[index];
}

uint16_t hostFunctionOrdinal(HostFunction function) { return kOrdinals[static_cast<int>(function)]; }

void* hostFunctionEntry(HostFunction function) { return kEntries[static_cast<int>(function)]; }

void* hostFunctionCell(HostFunction function) { return cells[static_cast<int>(function)]; }

void* boundHostFunction(HostFunction function) {
  int index = static_cast<int>(function);
  if (stillUnbound(index)) bindCell(index);
  return cells[index];
}

void* resolveHostFunction(const char* nameOrOrdinal, void** cell) {
  HMODULE host = connectorHostModule();
  void* found = reinterpret_cast<void*>(GetProcAddress(host, nameOrOrdinal));
  *cell = found;
  if (found != nullptr) return found;
  uintptr_t identifier = reinterpret_cast<uintptr_t>(nameOrOrdinal);
  char line[1024];
  if (identifier == (identifier & 0xFFFF)) {
    recordMissing(static_cast<uint16_t>(identifier));
    wsprintfA(line, "Brak funkcji o numerze %d\n", static_cast<int>(identifier));
  } else {
    wsprintfA(line, "Brak funkcji o nazwie %s\n", nameOrOrdinal);
  }
  if (IsDebuggerPresent()) OutputDebugStringA(line);
  return nullptr;
}

void bindAllHostFunctions() {
  for (int i = 0; i < kHostFunctionCount; ++i) {
    if (stillUnbound(i)) bindCell(i);
  }
}

const MissingFunctionList& missingHostFunctions() { return missing; }

void resetHostBinding() {
  for (int i = 0; i < kHostFunctionCount; ++i) cells[i] = kEntries[i];
  missing = MissingFunctionList{};
}

namespace {
// Binding runs among the library's static initializers, before the attach
// step and before the host can call any entry point.
struct BindAtAttach {
  BindAtAttach() { bindAllHostFunctions(); }
} bindAtAttach __attribute__((init_priority(101)));
}  // namespace
