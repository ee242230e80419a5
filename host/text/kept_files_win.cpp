// The Windows half of the stand-in's own files: _commit, MoveFileEx and
// LockFileEx.
#include <io.h>
#include <windows.h>

#include "text/kept_files.h"

namespace standin {

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool renameOver(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

intptr_t lockFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  OVERLAPPED at = {};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
    CloseHandle(file);
    return -1;
  }
  return reinterpret_cast<intptr_t>(file);
}

void unlockFile(intptr_t lock) {
  if (lock != -1) CloseHandle(reinterpret_cast<HANDLE>(lock));
}

}  // namespace standin
