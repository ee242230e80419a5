// The step that runs when the library is attached to the process, after
// every host function was bound: the module's own identity and the host's
// feature function.
#pragma once

#include "platform/windows_api.h"

// Records the module handle and file name, derives the base name and, the
// first time, looks the host main module up for its feature function.
void attachFrame(HMODULE ownModule);

// The file name without its directory: behind the last backslash, and
// within that behind the last slash; the whole name when there is neither.
const char* moduleBaseName(const char* fileName);
