// File locks: LockFileEx on Windows, flock elsewhere (both belong to the
// open handle, so two handles in one process exclude each other as well).
#include "platform/file_lock.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

#if defined(_WIN32)
LockResult lockFile(const char* path, FileLock& lock, bool wait) {
  lock.handle = -1;
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LockResult::Unavailable;
  OVERLAPPED at = {};
  DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  if (!LockFileEx(file, flags, 0, 1, 0, &at)) {
    CloseHandle(file);
    return LockResult::Busy;
  }
  lock.handle = reinterpret_cast<intptr_t>(file);
  return LockResult::Taken;
}
#else
LockResult lockFile(const char* path, FileLock& lock, bool wait) {
  lock.handle = -1;
  int file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) return LockResult::Unavailable;
  int result;
  do {
    result = flock(file, LOCK_EX | (wait ? 0 : LOCK_NB));
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    close(file);
    return LockResult::Busy;
  }
  lock.handle = file;
  return LockResult::Taken;
}
#endif

}  // namespace

LockResult tryLockFile(const char* path, FileLock& lock) { return lockFile(path, lock, false); }

LockResult waitLockFile(const char* path, FileLock& lock) { return lockFile(path, lock, true); }

void unlockFile(FileLock& lock) {
  if (lock.handle == -1) return;
#if defined(_WIN32)
  HANDLE file = reinterpret_cast<HANDLE>(lock.handle);
  OVERLAPPED at = {};
  UnlockFileEx(file, 0, 1, 0, &at);
  CloseHandle(file);
#else
  int file = static_cast<int>(lock.handle);
  flock(file, LOCK_UN);
  close(file);
#endif
  lock.handle = -1;
}
