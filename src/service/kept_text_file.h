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

// What reading a kept file found.
enum class KeptRead { Missing, Read, Unreadable };
// Reads the file's lines (see splitKeptLines); on Unreadable (no permission,
// a folder in its place, an I/O error) cause says why, for the user.
KeptRead readKeptFile(const std::string& path, std::vector<std::string>& lines, std::string& cause);
// The lines of the file; false when there is none or it could not be read.
bool readKeptLines(const std::string& path, std::vector<std::string>& lines);
// The bytes as lines, each without its "\n" (or "\r\n"); a last line
// without its end is a line too. Any byte, a NUL as well, stays in its line.
void splitKeptLines(const char* bytes, size_t size, std::vector<std::string>& lines);
// The cause, for the user, of a system error (an errno value, or minus a
// Windows error code) met on the file; a folder in its place is told so.
std::string keptFileCause(const std::string& path, int error);
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
// Days since 1970-01-01 of a "YYYY-MM-DD" text; false when it is no date.
bool dayNumber(const std::string& date, long& days);
