// Before an import asks the service anything: every file the plug-in keeps
// in the working directory that exists can be read, and the locks can be
// taken. Without them orders could be booked twice or lost, so the import
// does not run until they can.
#pragma once

#include <string>

// False (the user told which file and why) when a kept file exists but
// cannot be read, or the journal's lock cannot be taken for any reason but
// another holder.
bool keptFilesUsable();
// Tells the user that the import will not run while the lock in the file
// cannot be taken (error: as FileLock::error).
void showUnusableLock(const std::string& path, int error);
