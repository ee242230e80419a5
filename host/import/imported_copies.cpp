// The folder "imported/" of the working directory and its numbered copies.
#include "import/imported_copies.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "control/host_control.h"

namespace standin {

namespace {

std::filesystem::path importedFolder() { return std::filesystem::path(workingDirectory()) / kImportedFolder; }

}  // namespace

std::vector<std::string> importedCopies() {
  std::vector<std::string> copies;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(importedFolder(), error)) {
    if (entry.is_regular_file(error)) copies.push_back(entry.path().string());
  }
  std::sort(copies.begin(), copies.end());
  return copies;
}

void keepImportedCopy(const std::string& name, const std::string& source) {
  std::error_code error;
  std::filesystem::create_directories(importedFolder(), error);
  char number[16];
  std::snprintf(number, sizeof number, "%04zu-", importedCopies().size() + 1);
  std::filesystem::copy_file(source, importedFolder() / (number + name),
                             std::filesystem::copy_options::overwrite_existing, error);
}

}  // namespace standin
