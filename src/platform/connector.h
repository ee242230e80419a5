// The host connector library "SPOINKA" exports, as its data item 30008, the
// module handle of the host's main program module; every binding reads it.
#pragma once

#include "platform/windows_api.h"

HMODULE connectorHostModule();
