// The plug-in's own text files in the host's working directory (the register
// of booked orders, the journal of status changes to repeat): full names,
// replacing them whole so that a crash leaves the old file or the new one,
// setting a file aside under a dated name, telling the user of one that
// cannot be read, and today's date for their entries.
#pragma once

#include <string>
#include <vector>

#include "service/kept_file_reading.h"

// The file's full name in the host's working directory; "" when it would
// not fit a path.
std::string workingFilePath(const char* name);

// Tells the user that the import will not run while the file cannot be read.
void showUnreadableKeptFile(const std::string& path, const std::string& cause);
// False (the user told as above) when the file exists but cannot be read whole.
bool keptFileReadable(const std::string& path);
// Writes the lines to a new file beside, puts it on the disk and renames it
// over path; false (the old file untouched) when any step failed.
bool writeKeptLines(const std::string& path, const std::vector<std::string>& lines);
// Moves the file to "NAME-YYYYMMDD-HHMMSS.EXT" beside it ("NAME-MARK-..."
// with a mark; a number appended when that name is taken) and gives the new
// name; "" when it could not.
std::string setFileAside(const std::string& path, const char* mark = nullptr);
// A file that could not be read whole: set aside and the user told how many
// of its entries were read and stay in use.
void setDamagedFileAside(const std::string& path, size_t entriesKept);

// Today's date (local time) as "YYYY-MM-DD".
std::string todayText();
