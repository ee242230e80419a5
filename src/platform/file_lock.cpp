// File locks: LockFileEx on Windows, flock elsewhere (both belong to the
// open handle, so two handles in one process exclude each other as well).
#include "platform/file_lock.h"

#include <cerrno>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
// The errno value of the Windows errors a user can act on; minus the code
// of any other.
int errnoOf(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_SHARING_VIOLATION:
      return EBUSY;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
      return ENOLCK;
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_CRC:
      return EIO;
    default:
      return -static_cast<int>(code);
  }
}

LockResult lockFile(const char* path, FileLock& lock, bool wait) {
  lock.handle = -1;
  lock.error = 0;
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    lock.error = errnoOf(GetLastError());
    return LockResult::Unavailable;
  }
  OVERLAPPED at = {};
  DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  if (!LockFileEx(file, flags, 0, 1, 0, &at)) {
    DWORD code = GetLastError();
    CloseHandle(file);
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return LockResult::Busy;
    lock.error = errnoOf(code);
    return LockResult::Unavailable;
  }
  lock.handle = reinterpret_cast<intptr_t>(file);
  return LockResult::Taken;
}
#else
LockResult lockFile(const char* path, FileLock& lock, bool wait) {
  lock.handle = -1;
  lock.error = 0;
  int file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) {
    lock.error = errno;
    return LockResult::Unavailable;
  }
  int result;
  do {
    result = flock(file, LOCK_EX | (wait ? 0 : LOCK_NB));
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    int error = errno;
    close(file);
    if (error == EWOULDBLOCK) return LockResult::Busy;
    lock.error = error;
    return LockResult::Unavailable;
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
