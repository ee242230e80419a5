// The command "Import zamówień z Marketgate": fetches the statuses, lets the
// user confirm the options, writes the chosen status's orders page by page
// into "marketgate.edi" and hands the file to the host's universal import.
#pragma once

#include <cstdint>

#include "platform/callconv.h"

// Attempts at one page of orders before the run gives up and imports what
// it has.
constexpr int kPageAttempts = 3;

// The command handler the host calls; always 0.
int32_t MG_STDCALL runOrderImport();
