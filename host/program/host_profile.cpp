// The host program's profile (see host_profile.h).
#include "host_profile.h"

#include <cstdlib>
#include <filesystem>

#include "options/ini_files.h"

namespace {

const char kProfileName[] = "tomiks.ini";

}  // namespace

std::string profilePath(const std::string& directory) { return directory + "/" + kProfileName; }

bool prepareWorkDirectory(const std::string& directory, std::string& error) {
  std::error_code failure;
  std::filesystem::create_directories(directory, failure);
  if (!std::filesystem::is_directory(directory)) {
    error = "cannot make the working directory " + directory;
    return false;
  }
  std::string path = profilePath(directory);
  if (!std::filesystem::exists(path)) {
    // A blank address sends requests to the address the plug-in names.
    standin::iniWrite(path, "Service", "BaseUrl", "");
  }
  return true;
}

std::string profileServiceUrl(const std::string& directory) {
  std::string url;
  if (!standin::iniRead(profilePath(directory), "Service", "BaseUrl", url)) return std::string();
  return url;
}

std::string defaultWorkDirectory() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return "tomiks-data";
  return std::string(home) + "/.tomiks";
}
