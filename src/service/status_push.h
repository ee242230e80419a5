// Pushing an order's status to the service when the order is taken over or
// its document handled in the host: the push itself and the three places
// through which the host's actions reach it.
#pragma once

#include <cstdint>

#include "platform/callconv.h"

// Moves the order (its id as decimal text) to the status chosen as outgoing.
void pushOrderStatus(const char* orderIdText);

// Replacements of the "Tspr_dok" (45) and "Tspr" (44) table operations.
int32_t MG_STDCALL documentTableOperation(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                                          uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t);
int32_t MG_STDCALL listTableOperation(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                                      uintptr_t, uintptr_t, uintptr_t, uintptr_t);

// The handler registered under host code 2294.
int32_t MG_STDCALL documentEventHandler(uintptr_t first, uintptr_t second);
