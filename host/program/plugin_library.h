// The plug-in as the host program holds it: the loaded library and its four
// entry points found by ordinal, called the way the host calls them.
#pragma once

#include <cstdint>
#include <string>

#include "hostlink/host_abi.h"
#include "platform/callconv.h"

struct PluginLibrary {
  void* handle = nullptr;
  int32_t(MG_STDCALL* load)(host_abi::FeatureFunction, char*) = nullptr;  // 30001
  int32_t(MG_STDCALL* start)(uint32_t) = nullptr;                         // 30008
  int32_t (*forward)() = nullptr;                                         // 30009
  int32_t(MG_STDCALL* forwardValue)(uint32_t) = nullptr;                  // 30010
  char name[64] = {};                                                     // what the plug-in calls itself (Mazovia)
};

// Loads the library (its binding and attach step run); false with a reason
// when it cannot be loaded or lacks an entry point.
bool openPlugin(const std::string& path, PluginLibrary& plugin, std::string& error);
// 30001 with the host's feature function and a name buffer: 0 accepted.
int32_t checkPluginLoad(PluginLibrary& plugin);
// 30001 with null, then the library is let go.
void closePlugin(PluginLibrary& plugin);

// The plug-in's file name on this platform: marketgate.so, marketgate.dll.
extern const char* const kPluginFileName;
// kPluginFileName in the directory of the running program.
std::string defaultPluginPath();
