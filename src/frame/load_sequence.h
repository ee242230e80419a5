// What the entry points do: the load check and the unload (entry 30001),
// the start (entry 30008 with 0) and the first-run notice. Each returns 0
// or -1 as the entry point does.
#pragma once

#include <cstdint>

#include "hostlink/host_abi.h"

// Checks the host and, when it agrees, adds the import command: 0 accepted,
// -1 refused (nothing added then). nameBuffer, when not null, receives the
// display name with its NUL (29 bytes).
int32_t loadPlugin(host_abi::FeatureFunction featureFunction, char* nameBuffer);

// Puts the table operations back, removes the command and withdraws the
// document event handler when it was registered. Always 0.
int32_t unloadPlugin();

// Registers the document event handler, hooks the document tables and shows
// the first-run notice: 0 in service, -1 when the tables could not be hooked
// or the host lacks functions the plug-in calls.
int32_t startPlugin();

// "Zainstalowano: ..." once, unless the host runs without user interaction
// or the user asked not to be told again.
void showFirstRunNotice();

// True when every host function the plug-in binds is there: nothing that
// calls the host runs otherwise.
bool hostFunctionsComplete();
