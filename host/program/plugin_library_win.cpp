// Loading the plug-in on Windows (see plugin_library.h): LoadLibrary, and
// its entry points and the host's feature function found by ordinal, as the
// host program does.
#include "plugin_library.h"

#include <windows.h>

namespace {

FARPROC exportByOrdinal(HMODULE module, unsigned ordinal) { return GetProcAddress(module, MAKEINTRESOURCEA(ordinal)); }

template <class Entry>
bool findEntry(HMODULE module, unsigned ordinal, Entry& entry, std::string& error) {
  FARPROC found = exportByOrdinal(module, ordinal);
  if (found == nullptr) {
    error = "the plug-in has no entry point " + std::to_string(ordinal);
    return false;
  }
  entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(found));
  return true;
}

std::string lastErrorText() {
  DWORD code = GetLastError();
  char text[512] = "";
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) {
    text[--length] = '\0';
  }
  return "error " + std::to_string(code) + (length > 0 ? std::string(", ") + text : std::string());
}

}  // namespace

bool openPlugin(const std::string& path, PluginLibrary& plugin, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error = "cannot load the plug-in " + path + ": " + lastErrorText();
    return false;
  }
  plugin.handle = module;
  if (findEntry(module, 30001, plugin.load, error) && findEntry(module, 30008, plugin.start, error) &&
      findEntry(module, 30009, plugin.forward, error) && findEntry(module, 30010, plugin.forwardValue, error)) {
    return true;
  }
  FreeLibrary(module);
  plugin = PluginLibrary{};
  return false;
}

int32_t checkPluginLoad(PluginLibrary& plugin) {
  // The host hands over its own feature function, its export 30006.
  HMODULE host = GetModuleHandleA("TOMIKS");
  FARPROC found = host != nullptr ? exportByOrdinal(host, 30006) : nullptr;
  if (found == nullptr) return -1;
  auto function = reinterpret_cast<host_abi::FeatureFunction>(reinterpret_cast<void*>(found));
  return plugin.load(function, plugin.name);
}

void closePlugin(PluginLibrary& plugin) {
  if (plugin.handle == nullptr) return;
  plugin.load(nullptr, nullptr);
  FreeLibrary(static_cast<HMODULE>(plugin.handle));
  plugin = PluginLibrary{};
}

const char* const kPluginFileName = "marketgate.dll";

std::string defaultPluginPath() {
  char self[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
  if (length == 0 || length >= sizeof self) return kPluginFileName;
  std::string path(self, length);
  size_t separator = path.find_last_of("\\/");
  return (separator == std::string::npos ? std::string() : path.substr(0, separator + 1)) + kPluginFileName;
}
