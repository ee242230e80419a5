// A watch on files the host uses again and again: tells, without asking for
// the file's status, whether anything that could matter has happened at a
// path since the previous look at it (Linux; elsewhere paths are unwatched).
#pragma once

#include <string>

namespace standin {

// What counts as a change of the file itself: any write (its content), or
// only what changes which file the name leads to or what may be done with it
// (its identity: attributes, removal, renaming).
enum class WatchedFor { kContent, kIdentity };

enum class SinceLastLook {
    kNothing,    // nothing that counts has happened
    kSomething,  // something may have happened (or this was the first look)
    kUnwatched,  // the path cannot be watched: look at the file itself each time
};

// What happened at path since the previous look for the same purpose: a
// write to the file (for kContent), a change of its attributes, an entry
// made, removed or renamed under its name or under the name of a folder on
// its way. Everything finished before this call counts: after kSomething the
// caller opens or reads the file anew, and whatever happens after this call
// is reported by the next one.
// Unwatched: a relative path, one through a symbolic link or "." or "..",
// one on a file system that may change from elsewhere, or no watch from the
// system.
SinceLastLook lookAt(const std::string& path, WatchedFor purpose);

}  // namespace standin
