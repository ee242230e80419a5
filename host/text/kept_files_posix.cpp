// The POSIX half of the stand-in's own files: fsync, rename and flock.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "text/kept_files.h"

namespace standin {

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool renameOver(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

intptr_t lockFile(const std::string& path) {
  int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (file < 0) return -1;
  int locked;
  while ((locked = flock(file, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (locked != 0) {
    close(file);
    return -1;
  }
  return file;
}

void unlockFile(intptr_t lock) {
  if (lock >= 0) close(static_cast<int>(lock));
}

}  // namespace standin
