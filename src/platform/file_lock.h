// An exclusive lock on a file in the working directory, held by the operating
// system for one open handle and released with it, also when the process
// ends without letting go (no marker that could go stale).
#pragma once

#include <cstdint>

struct FileLock {
  intptr_t handle;  // the open file; -1 when no lock is held
  int error;        // why the lock was Unavailable: an errno value, or minus a Windows error code
};

// Busy only when another handle holds the lock; Unavailable when the lock
// file cannot be opened or created, or the system refuses to lock it.
enum class LockResult { Taken, Busy, Unavailable };

// Takes the lock at once or answers Busy when another handle holds it.
LockResult tryLockFile(const char* path, FileLock& lock);
// Takes the lock, waiting while another handle holds it.
LockResult waitLockFile(const char* path, FileLock& lock);
// Gives the lock back and closes the file; nothing when none is held.
void unlockFile(FileLock& lock);
