// Files the stand-in keeps for itself (the document store, option files):
// read whole, replaced whole (written beside, flushed to the disk, renamed
// over the old one), and a lock held across a read and the write after it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace standin {

enum class WholeRead { kRead, kMissing, kUnreadable };

// The file's bytes; kMissing (content empty) when there is no such file,
// kUnreadable when it exists but cannot be read to its end.
WholeRead readWholeFile(const std::string& path, std::string& content);

// Replaces the file at path with content, so that a reader (or a crash)
// sees the old file or the new one, never a part of either.
bool replaceWholeFile(const std::string& path, const std::string& content);

// An exclusive lock on the file at path (created when missing), waited for
// and released by the system when the process ends; -1 when it cannot be
// taken.
intptr_t lockFile(const std::string& path);
void unlockFile(intptr_t lock);

// Platform halves of replaceWholeFile.
bool flushToDisk(std::FILE* file);
bool renameOver(const std::string& from, const std::string& to);

}  // namespace standin
