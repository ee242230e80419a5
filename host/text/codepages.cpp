// Code-page conversion of the host stand-in: ASCII passes in runs; any other
// character is decoded into its Unicode code point and encoded into the target.
#include "text/codepages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace standin {
namespace {

using Table = char32_t[128];  // code points of bytes 0x80-0xFF; 0 = no character

// Code page 437 with the Polish letters of the host's text code page.
const Table kMazovia = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x0105, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x0107, 0x00C4, 0x0104,  // 88
    0x0118, 0x0119, 0x0142, 0x00F4, 0x00F6, 0x0106, 0x00FB, 0x00F9,  // 90
    0x015A, 0x00D6, 0x00DC, 0x00A2, 0x0141, 0x00A5, 0x015B, 0x0192,  // 98
    0x0179, 0x017B, 0x00F3, 0x00D3, 0x0144, 0x0143, 0x017A, 0x017C,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Windows-1250; 81, 83, 88, 90 and 98 hold no character.
const Table kCp1250 = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

constexpr char32_t kBad = 0xFFFFFFFF;  // a byte that decodes to no character

const Table* singleByteTable(int code) {
  if (code == kCodeMazovia) return &kMazovia;
  if (code == kCodeCp1250) return &kCp1250;
  return nullptr;
}

bool isConvertible(int code) { return code == kCodeUtf8 || singleByteTable(code) != nullptr; }

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one UTF-8 character at text[pos], advancing pos. A malformed sequence
// yields kBad and advances by its first byte only, so the following bytes are
// looked at again (each bad byte gives one '?').
char32_t decodeUtf8(std::string_view text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  size_t extra;
  char32_t value;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    ++pos;
    return kBad;
  }
  if (pos + extra >= text.size()) {  // cut short by the end of the text
    ++pos;
    return kBad;
  }
  for (size_t i = 1; i <= extra; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    const bool fits = i == 1 ? (byte >= low && byte <= high) : isContinuation(byte);
    if (!fits) {
      ++pos;
      return kBad;
    }
    value = (value << 6) | (byte & 0x3F);
  }
  pos += extra + 1;
  return value;
}

char32_t decodeSingleByte(const Table& table, unsigned char byte) {
  if (byte < 0x80) return byte;
  const char32_t value = table[byte - 0x80];
  return value == 0 ? kBad : value;
}

// Writes the character in UTF-8 ('?' for a bad byte) and gives its length.
size_t encodeUtf8(char32_t value, char* out) {
  if (value == kBad) {
    out[0] = '?';
    return 1;
  }
  if (value < 0x80) {
    out[0] = static_cast<char>(value);
    return 1;
  }
  if (value < 0x800) {
    out[0] = static_cast<char>(0xC0 | (value >> 6));
    out[1] = static_cast<char>(0x80 | (value & 0x3F));
    return 2;
  }
  if (value < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (value >> 12));
    out[1] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (value & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (value >> 18));
  out[1] = static_cast<char>(0x80 | ((value >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (value & 0x3F));
  return 4;
}

char encodeSingleByte(const Table& table, char32_t value) {
  if (value < 0x80) return static_cast<char>(value);
  if (value != kBad) {
    for (int i = 0; i < 128; ++i) {
      if (table[i] == value) return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

// The number of ASCII bytes from pos on: they pass unchanged in every direction.
size_t asciiRun(std::string_view text, size_t pos) {
  size_t end = pos;
  while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
  return end - pos;
}

// Converts the character that starts with the non-ASCII byte text[pos],
// advancing pos past it; writes it in the target code page to out and gives
// its length (one to four bytes).
size_t convertCharacter(std::string_view text, size_t& pos, const Table* fromTable, const Table* toTable, char* out) {
  char32_t value;
  if (fromTable) {
    value = decodeSingleByte(*fromTable, static_cast<unsigned char>(text[pos]));
    ++pos;
  } else {
    value = decodeUtf8(text, pos);
  }
  if (toTable) {
    out[0] = encodeSingleByte(*toTable, value);
    return 1;
  }
  return encodeUtf8(value, out);
}

bool copiesUnchanged(int fromCode, int toCode) {
  return fromCode == toCode || !isConvertible(fromCode) || !isConvertible(toCode);
}

// The number of bytes of an unchanged copy that fit in limit bytes without
// splitting a character of the given code page.
size_t cutAtCharacter(std::string_view text, size_t limit, int code) {
  if (limit >= text.size()) return text.size();
  if (code != kCodeUtf8) return limit;
  while (limit > 0 && isContinuation(static_cast<unsigned char>(text[limit]))) --limit;
  return limit;
}

bool overlaps(std::string_view text, const char* area, size_t size) {
  const auto from = reinterpret_cast<std::uintptr_t>(text.data());
  const auto start = reinterpret_cast<std::uintptr_t>(area);
  return !text.empty() && from < start + size && start < from + text.size();
}

}  // namespace

void appendConverted(std::string& out, std::string_view text, int fromCode, int toCode) {
  if (copiesUnchanged(fromCode, toCode)) {
    out.append(text);
    return;
  }
  const Table* fromTable = singleByteTable(fromCode);
  const Table* toTable = singleByteTable(toCode);
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t run = asciiRun(text, pos);
    out.append(text.data() + pos, run);
    pos += run;
    if (pos == text.size()) break;
    char bytes[4];
    out.append(bytes, convertCharacter(text, pos, fromTable, toTable, bytes));
  }
}

std::string convertCodePage(std::string_view text, int fromCode, int toCode) {
  std::string out;
  out.reserve(singleByteTable(toCode) ? text.size() : text.size() * 2);
  appendConverted(out, text, fromCode, toCode);
  return out;
}

// Converts straight into dst: a character that no longer fits ends the text,
// which is where the whole result would be cut.
int convertTextInto(char* dst, int capacity, const char* src, int srcLength, int fromCode, int toCode) {
  if (dst == nullptr || capacity <= 0) return 0;
  std::string_view source;
  if (src != nullptr) {
    size_t length;
    if (srcLength < 0) {
      length = std::strlen(src);
    } else {
      const void* nul = std::memchr(src, 0, static_cast<size_t>(srcLength));
      length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - src) : static_cast<size_t>(srcLength);
    }
    source = std::string_view(src, length);
  }
  // A source that shares bytes with dst is read whole before dst is written.
  std::string overlapped;
  if (overlaps(source, dst, static_cast<size_t>(capacity))) {
    overlapped.assign(source);
    source = overlapped;
  }
  const size_t limit = static_cast<size_t>(capacity) - 1;
  size_t written = 0;
  if (copiesUnchanged(fromCode, toCode)) {
    written = cutAtCharacter(source, limit, toCode);
    if (written > 0) std::memcpy(dst, source.data(), written);
  } else {
    const Table* fromTable = singleByteTable(fromCode);
    const Table* toTable = singleByteTable(toCode);
    size_t pos = 0;
    while (pos < source.size() && written < limit) {
      const size_t run = std::min(asciiRun(source, pos), limit - written);
      std::memcpy(dst + written, source.data() + pos, run);
      written += run;
      pos += run;
      if (pos == source.size() || written == limit) break;
      char bytes[4];
      const size_t length = convertCharacter(source, pos, fromTable, toTable, bytes);
      if (length > limit - written) break;
      std::memcpy(dst + written, bytes, length);
      written += length;
    }
  }
  dst[written] = '\0';
  return static_cast<int>(written);
}

std::string mazoviaToUtf8(std::string_view text) { return convertCodePage(text, kCodeMazovia, kCodeUtf8); }

std::string utf8ToMazovia(std::string_view text) { return convertCodePage(text, kCodeUtf8, kCodeMazovia); }

std::string utf8ToCp1250(std::string_view text) { return convertCodePage(text, kCodeUtf8, kCodeCp1250); }

std::string cp1250ToUtf8(std::string_view text) { return convertCodePage(text, kCodeCp1250, kCodeUtf8); }

std::string stripMarkup(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '\x01') {
      const size_t close = text.find('\x01', pos + 1);
      pos = close == std::string_view::npos ? pos + 1 : close + 1;
    } else {
      if (c != '\x02') out += c;
      ++pos;
    }
  }
  return out;
}

}  // namespace standin
