// The host's option files: reads and writes single values of Windows-style profile
// files ("[section]" headers and "key=value" lines), for the host's profile function
// and for the stand-in's own configuration.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace standin {

enum IniMode : int { kIniRead = 1, kIniWrite = 2 };

// Longest text that a "%s" read hands back, not counting the terminating NUL.
// Callers of a "%s" read must give a buffer of at least kIniTextLimit + 1 = 256 bytes.
constexpr int kIniTextLimit = 255;

// The host's profile function on the file at path.
// mode 1 reads, mode 2 writes the value of key in section; the value is the next
// argument in args, according to format:
//   "%d"  read:  int16_t* receives the number. The value, trimmed of blanks, must be
//                a decimal integer (optional sign, digits only) within -32768..32767;
//                anything else is unreadable and leaves the field untouched.
//         write: int, written as decimal text.
//   "%s"  read:  char* receives the value, at most 255 characters and a NUL
//                (a longer value is cut at 255 bytes): give at least 256 bytes.
//         write: const char*, written as it is.
// Result: 0 when the value was read or written; 1 when the file, the section or the
// key is missing, the value is unreadable, the write failed, or the mode or format is
// not one of the above (then no argument is taken and nothing is done).
// Reads always see the file as it stands (a parsed copy is kept and used again
// while the system reports no change at its path, or, where it gives no such
// reports, while the file's size, identity and times show it unchanged).
// Sections and keys match without regard to ASCII case; values are trimmed of
// surrounding blanks. A key present with an empty value reads as "" (result 0) for
// "%s" and as unreadable for "%d".
// Writing creates the file, the section and the key as needed, keeps every other line
// (comments, blank lines, order, line endings) as it was, and replaces the file in one
// step (a temporary file beside it, then a rename). New lines end with "\r\n" when the
// file already uses it, with "\n" otherwise ("\r\n" for a new file on Windows).
// Texts that cannot be stored on one line (a CR or LF in the section, key or value,
// "]" in the section, "=" in the key, an empty section or key) are refused with 1.
int16_t iniAccess(const std::string& path, int mode, const char* section, const char* key, const char* format,
                  va_list args);

// iniAccess with the value given directly as the last argument.
int16_t iniAccessWith(const std::string& path, int mode, const char* section, const char* key, const char* format, ...);

// Reads the whole value (no length cap) of section/key; false when it is not there.
bool iniRead(const std::string& path, const std::string& section, const std::string& key, std::string& out);

// Every key = value of the sections named section, in file order (names and
// values trimmed); empty when the file or the section is missing.
std::vector<std::pair<std::string, std::string>> iniSection(const std::string& path, const std::string& section);

// Writes section/key = value as iniAccess does; false when the write failed or was refused.
bool iniWrite(const std::string& path, const std::string& section, const std::string& key, const std::string& value);

}  // namespace standin
