// POSIX implementation of the Windows functions the frame needs (see
// windows_api.h for the module and ordinal naming rule).
#if !defined(_WIN32)
#include "platform/windows_api.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// "TOMIKS" is looked up as "TOMIKS.so"; a name with an extension as given.
std::string moduleFileName(const char* name) {
  std::string file(name);
  if (file.find('.') == std::string::npos) file += ".so";
  return file;
}

bool isOrdinal(LPCSTR nameOrOrdinal) { return reinterpret_cast<uintptr_t>(nameOrOrdinal) <= 0xFFFF; }

}  // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return dlopen(nullptr, RTLD_NOW);
  // Only modules already in the process count, as on Windows; the handle
  // is not a new reference, so the one dlopen took is given back at once.
  void* handle = dlopen(moduleFileName(moduleName).c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR nameOrOrdinal) {
  if (module == nullptr || nameOrOrdinal == nullptr) return nullptr;
  if (!isOrdinal(nameOrOrdinal)) return reinterpret_cast<FARPROC>(dlsym(module, nameOrOrdinal));
  unsigned ordinal = static_cast<unsigned>(reinterpret_cast<uintptr_t>(nameOrOrdinal));
  using Withholds = int (*)(unsigned);
  if (auto withholds = reinterpret_cast<Withholds>(dlsym(module, MG_WITHHELD_ORDINAL_SYMBOL))) {
    if (withholds(ordinal)) return nullptr;
  }
  char symbol[32];
  std::snprintf(symbol, sizeof symbol, MG_ORDINAL_SYMBOL_PREFIX "%u", ordinal);
  return reinterpret_cast<FARPROC>(dlsym(module, symbol));
}

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  const char* path = nullptr;
  struct link_map* map = nullptr;
  if (module != nullptr && dlinfo(module, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name[0] != '\0') {
    path = map->l_name;
  }
  char self[4096];
  if (path == nullptr) {
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length < 0) length = 0;
    self[length] = '\0';
    path = self;
  }
  // Like Windows: cut to capacity - 1 characters, always terminated.
  size_t length = std::strlen(path);
  if (length >= capacity) length = capacity - 1;
  std::memcpy(buffer, path, length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

BOOL IsDebuggerPresent() {
  FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  long tracer = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "TracerPid:", 10) == 0) {
      tracer = std::strtol(line + 10, nullptr, 10);
      break;
    }
  }
  std::fclose(status);
  return tracer != 0;
}

void OutputDebugStringA(LPCSTR text) {
  if (text != nullptr) std::fputs(text, stderr);
}

int wsprintfA(char* buffer, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  // Windows limits wsprintfA to 1024 bytes of output; so does this one.
  int length = std::vsnprintf(buffer, 1024, format, args);
  if (length > 1023) length = 1023;
  va_end(args);
  return length;
}

void Sleep(DWORD milliseconds) { usleep(static_cast<useconds_t>(milliseconds) * 1000u); }
#endif
