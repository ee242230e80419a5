// What the files the plug-in keeps for itself need from the system: a
// replacement in one step (a crash leaves the old file or the new one), a
// file's data pushed to the disk or cut short, and a move that never
// overwrites.
#pragma once

#include <cstdio>

// Renames from over to, replacing to when it exists; false when it failed.
bool replaceFile(const char* from, const char* to);
// Renames from to to unless something of that name exists; false then.
bool moveFileAside(const char* from, const char* to);
// True when a regular file of that name exists (not a folder).
bool regularFileExists(const char* path);
// True when anything of that name exists.
bool pathExists(const char* path);
// Writes the stream's buffers and asks the system to put the data on the disk.
bool flushToDisk(std::FILE* file);
// Cuts the file to its first length bytes, on the disk (a cut needs no
// room, also on a full disk); false when that failed.
bool cutFileToDisk(std::FILE* file, long length);
