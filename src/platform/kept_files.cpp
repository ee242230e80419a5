// Kept files on Windows (MoveFileEx, attributes, FlushFileBuffers) and on
// POSIX systems (rename, stat, fsync).
#include "platform/kept_files.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#if defined(_WIN32)
bool replaceFile(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool moveFileAside(const char* from, const char* to) { return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) != 0; }

bool regularFileExists(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool pathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool flushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool cutFileToDisk(std::FILE* file, long length) {
  std::fflush(file);  // what did not fit is cut off anyway
  if (_chsize(_fileno(file), length) != 0) return false;
  std::clearerr(file);
  return std::fseek(file, 0, SEEK_END) == 0 && flushToDisk(file);
}
#else
bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool moveFileAside(const char* from, const char* to) {
  // link fails when to exists; the old name then goes.
  if (link(from, to) == 0) return unlink(from) == 0;
  if (pathExists(to)) return false;
  return std::rename(from, to) == 0;  // a file system without hard links
}

bool regularFileExists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

bool pathExists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0;
}

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool cutFileToDisk(std::FILE* file, long length) {
  std::fflush(file);  // what did not fit is cut off anyway
  if (ftruncate(fileno(file), length) != 0) return false;
  std::clearerr(file);
  return std::fseek(file, 0, SEEK_END) == 0 && flushToDisk(file);
}
#endif
