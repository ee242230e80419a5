// Binding of the host's functions by ordinal: one cell per host function,
// bound in table order when the library is attached. A cell first holds the
// function's entry routine, which binds the cell on a first call and goes on
// into the host function with the caller's registers and stack untouched.
#pragma once

#include <cstdint>

enum class HostFunction : int {
#define HOST_FUNCTION(role, ordinal) role,
#include "hostlink/host_function_list.h"
#undef HOST_FUNCTION
  count
};

constexpr int kHostFunctionCount = static_cast<int>(HostFunction::count);

// Ordinals the host does not export: all counted, the first eight kept.
struct MissingFunctionList {
  uint32_t count;
  uint16_t ordinals[8];
};

uint16_t hostFunctionOrdinal(HostFunction function);

// The function's entry routine: binds on first use, then continues into the
// host function. Virtual-operation slots inherited from host classes hold it.
void* hostFunctionEntry(HostFunction function);

// Current content of the function's cell (entry routine, host address or null).
void* hostFunctionCell(HostFunction function);

// The host address to call, binding the cell first if it was never bound;
// null when the host does not export the function.
void* boundHostFunction(HostFunction function);

// Looks an identifier (an ordinal, or a pointer to a name) up in the host
// main module, stores the result in *cell and returns it; misses are
// recorded and, under a debugger, reported on the debugger output.
void* resolveHostFunction(const char* nameOrOrdinal, void** cell);

// Binds every cell in table order (done once when the library is attached).
void bindAllHostFunctions();

const MissingFunctionList& missingHostFunctions();

// Puts every cell back to its entry routine and empties the missing list,
// so that a test can bind again against a differently configured host.
void resetHostBinding();
