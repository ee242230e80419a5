// The attach step (see attach.h) and what starts it: DllMain on Windows, a
// constructor running after the binding's static initializer elsewhere.
#include "frame/attach.h"

#include <cstring>

#include "frame/frame_state.h"
#include "hostlink/host_conventions.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace {

constexpr unsigned kFeatureFunctionOrdinal = 30006;
static_assert((checkHostConvention<host_abi::FeatureFunction, kFeatureFunctionOrdinal>(), true));

void lookUpHostModule(FrameState& frame) {
  if (frame.hostModuleLookedUp) return;
  frame.hostModuleLookedUp = true;
  HMODULE host = GetModuleHandleA("TOMIKS");
  if (host == nullptr) return;
  FARPROC feature = GetProcAddress(host, MAKEINTRESOURCEA(kFeatureFunctionOrdinal));
  if (feature != nullptr)
    frame.featureFunction = reinterpret_cast<host_abi::FeatureFunction>(reinterpret_cast<void*>(feature));
}

}  // namespace

const char* moduleBaseName(const char* fileName) {
  const char* base = fileName;
  if (const char* backslash = std::strrchr(base, '\\')) base = backslash + 1;
  if (const char* slash = std::strrchr(base, '/')) base = slash + 1;
  return base;
}

void attachFrame(HMODULE ownModule) {
  FrameState& frame = frameState();
  frame.ownModule = ownModule;
  GetModuleFileNameA(ownModule, frame.moduleFileName, sizeof frame.moduleFileName);
  frame.moduleFileName[sizeof frame.moduleFileName - 1] = '\0';
  frame.moduleBaseName = moduleBaseName(frame.moduleFileName);
  lookUpHostModule(frame);
}

#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) attachFrame(instance);
  return TRUE;
}
#else
namespace {

// The handle of the module this code was linked into: the plug-in's
// library, or the program itself when the frame is linked into one.
HMODULE ownModuleHandle() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&ownModuleHandle), &info) != 0 && info.dli_fname != nullptr) {
    if (void* module = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD)) {
      dlclose(module);  // as GetModuleHandleA: no reference of our own
      return module;
    }
  }
  return GetModuleHandleA(nullptr);
}

// Runs after the binding (priority 101) among the library's initializers.
__attribute__((constructor(102))) void attachAtLoad() { attachFrame(ownModuleHandle()); }

}  // namespace
#endif
