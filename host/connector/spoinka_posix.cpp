// The host connector library "SPOINKA": its data item 30008 holds the module
// handle of the host's main program module, which it finds when loaded.
#include <dlfcn.h>

#include "core/host_exports.h"

STANDIN_EXPORT void* ordinal_30008;
void* ordinal_30008 = nullptr;

namespace {
struct FindHostModule {
  FindHostModule() {
    void* host = dlopen("TOMIKS.so", RTLD_NOW | RTLD_NOLOAD);
    if (host != nullptr) dlclose(host);
    ordinal_30008 = host;
  }
} findHostModule;
}  // namespace
