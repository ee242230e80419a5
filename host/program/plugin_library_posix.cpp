// Loading the plug-in and finding its entry points (see plugin_library.h).
#include "plugin_library.h"

#include <dlfcn.h>
#include <unistd.h>

namespace {

// A module's export with ordinal N is its symbol "ordinal_N".
void* exportByOrdinal(void* module, unsigned ordinal) {
  return dlsym(module, ("ordinal_" + std::to_string(ordinal)).c_str());
}

template <class Entry>
bool findEntry(PluginLibrary& plugin, unsigned ordinal, Entry& entry, std::string& error) {
  void* found = exportByOrdinal(plugin.handle, ordinal);
  if (found == nullptr) {
    error = "the plug-in has no entry point " + std::to_string(ordinal);
    return false;
  }
  entry = reinterpret_cast<Entry>(found);
  return true;
}

}  // namespace

bool openPlugin(const std::string& path, PluginLibrary& plugin, std::string& error) {
  plugin.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (plugin.handle == nullptr) {
    const char* reason = dlerror();
    error = "cannot load the plug-in " + path + ": " + (reason != nullptr ? reason : "unknown reason");
    return false;
  }
  if (findEntry(plugin, 30001, plugin.load, error) && findEntry(plugin, 30008, plugin.start, error) &&
      findEntry(plugin, 30009, plugin.forward, error) && findEntry(plugin, 30010, plugin.forwardValue, error)) {
    return true;
  }
  dlclose(plugin.handle);
  plugin = PluginLibrary{};
  return false;
}

int32_t checkPluginLoad(PluginLibrary& plugin) {
  // The host hands over its own feature function, its export 30006.
  void* host = dlopen("TOMIKS.so", RTLD_NOW | RTLD_NOLOAD);
  auto function = reinterpret_cast<host_abi::FeatureFunction>(host != nullptr ? exportByOrdinal(host, 30006) : nullptr);
  if (host != nullptr) dlclose(host);
  if (function == nullptr) return -1;
  return plugin.load(function, plugin.name);
}

void closePlugin(PluginLibrary& plugin) {
  if (plugin.handle == nullptr) return;
  plugin.load(nullptr, nullptr);
  dlclose(plugin.handle);
  plugin = PluginLibrary{};
}

const char* const kPluginFileName = "marketgate.so";

std::string defaultPluginPath() {
  char self[4096];
  ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return kPluginFileName;
  std::string path(self, static_cast<size_t>(length));
  size_t slash = path.rfind('/');
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + kPluginFileName;
}
