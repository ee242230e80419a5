// A watch on files the host reads again and again: tells, without asking for
// the file's status, whether anything that could change what a path names has
// happened since the previous look at it (Linux; elsewhere the answer is
// always "maybe").
#pragma once

#include <string>

namespace standin {

// True when nothing has happened since the previous look at path that could
// change what it names: no write to the file, no change of its attributes, no
// entry made, removed or renamed under its name or under the name of a folder
// on its way. Everything finished before this call counts: after a false
// answer the caller reads the file itself, and whatever happens after this
// call is reported by the next one.
// False at the first look, after any such change, and always for a path that
// cannot be watched: a relative one, one through a symbolic link or "." or
// "..", one on a file system that may change from elsewhere, or when the
// system gives no watch.
bool unchangedSinceLastLook(const std::string& path);

}  // namespace standin
