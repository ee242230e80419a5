// Reading and replacing the stand-in's own files whole (see kept_files.h).
#include "text/kept_files.h"

#include <cerrno>

namespace standin {

WholeRead readWholeFile(const std::string& path, std::string& content) {
  content.clear();
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return errno == ENOENT ? WholeRead::kMissing : WholeRead::kUnreadable;
  char buffer[8192];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) content.clear();
  return failed ? WholeRead::kUnreadable : WholeRead::kRead;
}

bool replaceWholeFile(const std::string& path, const std::string& content) {
  const std::string fresh = path + ".tmp";
  std::FILE* file = std::fopen(fresh.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  const bool flushed = written && flushToDisk(file);
  const bool closed = std::fclose(file) == 0;
  if (!(flushed && closed) || !renameOver(fresh, path)) {
    std::remove(fresh.c_str());
    return false;
  }
  return true;
}

}  // namespace standin
