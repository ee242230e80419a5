// The table of virtual operations of the settings dialog class: its own
// destructor and item texts, and the operations it inherits unchanged from
// the host's dialog base class, reached through their host-function cells.
#pragma once

#include <cstdint>

#include "platform/callconv.h"

struct MarketgateStatus;

// The class's 35 operations in slot order (slot 0 the destructor).
void* const* marketgateStatusOperations();

// Slot 0: destroys the object and, when bit 0 of flags is set, releases its
// memory (then host memory) through the host. Returns the object's address.
void* MG_THISCALL marketgateStatusDestructor(MarketgateStatus* object, uint32_t flags);
