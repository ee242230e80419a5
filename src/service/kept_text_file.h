// The plug-in's own text files in the host's working directory (the register
// of booked orders, the journal of status changes to repeat): full names,
// reading them line by line, replacing them whole so that a crash leaves
// the old file or the new one, setting a file aside under a dated name, and
// the calendar dates their entries carry.
#pragma once

#include <string>
#include <vector>

// The file's full name in the host's working directory; "" when it would
// not fit a path.
std::string workingFilePath(const char* name);

// The lines of the file without their line ends; false when there is no file.
bool readKeptLines(const std::string& path, std::vector<std::string>& lines);
// Writes the lines to a new file beside, puts it on the disk and renames it
// over path; false (the old file untouched) when any step failed.
bool writeKeptLines(const std::string& path, const std::vector<std::string>& lines);
// Moves the file to "NAME-YYYYMMDD-HHMMSS.EXT" beside it (a number appended
// when that name is taken) and gives the new name; "" when it could not.
std::string setFileAside(const std::string& path);
// A file that could not be read whole: set aside and the user told how many
// of its entries were read and stay in use.
void setDamagedFileAside(const std::string& path, size_t entriesKept);

// Today's date (local time) as "YYYY-MM-DD".
std::string todayText();
// Days since 1970-01-01 of a "YYYY-MM-DD" text; false when it is no date.
bool dayNumber(const std::string& date, long& days);
