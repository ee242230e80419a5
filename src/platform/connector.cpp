// Reads the host main module's handle from the connector's data item 30008:
// on Windows imported by ordinal from SPOINKA.dll, elsewhere looked up in
// the loaded "SPOINKA.so".
#include "platform/connector.h"

#if defined(_WIN32)
extern "C" __declspec(dllimport) HMODULE spoinka_host_module;

HMODULE connectorHostModule() { return spoinka_host_module; }
#else
#include <dlfcn.h>

HMODULE connectorHostModule() {
  void* connector = dlopen("SPOINKA.so", RTLD_NOW | RTLD_NOLOAD);
  if (connector == nullptr) return nullptr;
  auto* item = static_cast<HMODULE*>(dlsym(connector, MG_ORDINAL_SYMBOL_PREFIX "30008"));
  dlclose(connector);
  return item != nullptr ? *item : nullptr;
}
#endif
