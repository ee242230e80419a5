// Reading the plug-in's kept files: any bytes, split into lines, a missing
// file told from one that cannot be read (and why), and the calendar dates
// their entries carry. Nothing here calls the host.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What reading a kept file found.
enum class KeptRead { Missing, Read, Unreadable };
// Reads the file's lines (see splitKeptLines); on Unreadable (no permission,
// a folder in its place, an I/O error) cause says why, for the user.
// lastLineEnded (when given) tells whether the file's last byte ends a line.
KeptRead readKeptFile(const std::string& path, std::vector<std::string>& lines, std::string& cause,
                      bool* lastLineEnded = nullptr);
// The lines of the file; false when there is none or it could not be read.
bool readKeptLines(const std::string& path, std::vector<std::string>& lines);
// The bytes as lines, each without its "\n" (or "\r\n"); a last line
// without its end is a line too. Any byte, a NUL as well, stays in its line.
void splitKeptLines(const char* bytes, size_t size, std::vector<std::string>& lines);
// The cause, for the user, of a system error (an errno value, or minus a
// Windows error code) met on the file; a folder in its place is told so.
std::string keptFileCause(const std::string& path, int error);

// Days since 1970-01-01 of a "YYYY-MM-DD" text; false when it is no date.
bool dayNumber(const std::string& date, long& days);
