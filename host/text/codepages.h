// Text conversion between the code pages the host knows: UTF-8, Windows-1250,
// Mazovia (the host's own text code page) and the file-system path encoding.
// Conversion codes are the host's numbers, as passed to its convert-text function.
#pragma once

#include <string>
#include <string_view>

namespace standin {

// The host's conversion codes.
enum TextCode : int {
  kCodeMazovia = 1,  // code page 437 with the Polish letters in place of some of its letters
  kCodeCp1250 = 3,   // Windows-1250
  kCodePath = 5,     // file-system path encoding: bytes pass unchanged
  kCodeUtf8 = 6,
};

// Converts text from one code page to another.
// - ASCII (bytes 0x00-0x7F, so also the markup bytes 0x01 and 0x02) passes unchanged.
// - A character the target cannot hold becomes '?'; so does every byte of malformed
//   UTF-8 (stray continuation bytes, overlong forms, surrogates, values past U+10FFFF,
//   a sequence cut short, also at the end of the text): one '?' per bad byte.
// - Equal codes, code 5 on either side, or a code the host does not know copy the
//   bytes unchanged.
std::string convertCodePage(std::string_view text, int fromCode, int toCode);

// Appends what convertCodePage gives to out, reusing out's room.
void appendConverted(std::string& out, std::string_view text, int fromCode, int toCode);

// The host's convert-text function: converts src (srcLength bytes, stopping early at
// a NUL; a negative length means NUL-terminated; null src means "") and writes the
// result NUL-terminated into dst. At most capacity bytes are written including the
// NUL; a longer result is cut at a character boundary of the target code page.
// Returns the number of bytes written before the NUL. capacity <= 0 or a null dst
// writes nothing and returns 0.
int convertTextInto(char* dst, int capacity, const char* src, int srcLength, int fromCode, int toCode);

std::string mazoviaToUtf8(std::string_view text);
std::string utf8ToMazovia(std::string_view text);
std::string utf8ToCp1250(std::string_view text);
std::string cp1250ToUtf8(std::string_view text);

// Removes the host's message markup, leaving the plain text:
// - "\x01...\x01": a layout directive (e.g. "\x01tl18l33\x01") is removed whole,
//   both delimiters included;
// - a "\x01" with no closing "\x01" after it is not a directive: only that byte is
//   dropped and the text after it is kept;
// - "\x02" (start of highlighted text) is dropped; the highlighted text is kept.
std::string stripMarkup(std::string_view text);

}  // namespace standin
