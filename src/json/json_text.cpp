// The string reader of the JSON parser: one scan finds the closing quote and
// refuses control bytes, then the bytes are copied (or decoded, when they
// hold escapes) into the tree's memory, which keeps only the decoded length.
#include "json/json_text.h"

#include <cstring>

namespace json_text {

namespace {

struct ByteTables {
  uint8_t stringStop[256];  // bytes that end a plain run: '"', '\\', below 0x20
  int8_t hexValue[256];     // -1 for bytes that are not hexadecimal digits
};

constexpr ByteTables makeTables() {
  ByteTables t{};
  for (int c = 0; c < 0x20; ++c) t.stringStop[c] = 1;
  t.stringStop[static_cast<unsigned char>('"')] = 1;
  t.stringStop[static_cast<unsigned char>('\\')] = 1;
  for (int c = 0; c < 256; ++c) t.hexValue[c] = -1;
  for (int c = 0; c < 10; ++c) t.hexValue['0' + c] = static_cast<int8_t>(c);
  for (int c = 0; c < 6; ++c) {
    t.hexValue['a' + c] = static_cast<int8_t>(10 + c);
    t.hexValue['A' + c] = static_cast<int8_t>(10 + c);
  }
  return t;
}

constexpr ByteTables kTables = makeTables();

inline bool stopsRun(char c) { return kTables.stringStop[static_cast<unsigned char>(c)] != 0; }

inline int hexValue(char c) { return kTables.hexValue[static_cast<unsigned char>(c)]; }

constexpr uint64_t kEachByte = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// The high bit of each of the eight bytes at `p` that is a quote, a
// backslash or below 0x20. Exact up to the first such byte; a byte after it
// may be marked as well.
inline uint64_t stopBits(const char* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  const uint64_t quote = v ^ (kEachByte * '"');
  const uint64_t backslash = v ^ (kEachByte * '\\');
  return (((quote - kEachByte) & ~quote) | ((backslash - kEachByte) & ~backslash) | ((v - kEachByte * 0x20) & ~v)) &
         kHighBits;
}

// The first byte at or after `p` that ends a plain run. Eight bytes are
// looked at together while eight remain before `textEnd`, the text's
// terminating NUL (little-endian: the first byte is the lowest).
inline const char* nextStop(const char* p, const char* textEnd) {
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "bytes are counted from the low end");
  while (textEnd - p >= 8) {
    const uint64_t stops = stopBits(p);
    if (stops != 0) return p + (__builtin_ctzll(stops) >> 3);
    p += 8;
  }
  while (!stopsRun(*p)) ++p;
  return p;
}

// Finds the closing quote of the string that starts at `p` (after the
// opening quote), stepping over a backslash and its byte as a pair. Null
// when the text ends first or an unescaped control byte stands inside.
const char* findClosingQuote(const char* p, const char* textEnd, bool* escaped) {
  for (;;) {
    p = nextStop(p, textEnd);
    if (*p == '"') return p;
    if (*p != '\\' || p[1] == '\0') return nullptr;
    *escaped = true;
    p += 2;
  }
}

// Writes a \u code value (0 to 0xFFFF) as one to three UTF-8 bytes.
inline char* writeCodeValue(char* out, unsigned v) {
  if (v < 0x80) {
    *out++ = static_cast<char>(v);
  } else if (v < 0x800) {
    *out++ = static_cast<char>(0xC0 | (v >> 6));
    *out++ = static_cast<char>(0x80 | (v & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | (v >> 12));
    *out++ = static_cast<char>(0x80 | ((v >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (v & 0x3F));
  }
  return out;
}

// Decodes the raw bytes [p, end) into `out`. Returns the end of the written
// bytes, or null on an escape that is not allowed. The bytes at `end` are the
// closing quote, so checks of the four \u digits never run past the text.
char* decodeEscapes(const char* p, const char* end, char* out) {
  while (p < end) {
    const char* run = p;
    while (p < end && *p != '\\') ++p;
    std::memcpy(out, run, static_cast<size_t>(p - run));
    out += p - run;
    if (p == end) break;
    char escape = p[1];
    p += 2;
    switch (escape) {
      case '"':
      case '\\':
      case '/':
        *out++ = escape;
        break;
      case 'b':
        *out++ = '\b';
        break;
      case 'f':
        *out++ = '\f';
        break;
      case 'n':
        *out++ = '\n';
        break;
      case 'r':
        *out++ = '\r';
        break;
      case 't':
        *out++ = '\t';
        break;
      case 'u': {
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
          int digit = hexValue(p[i]);
          if (digit < 0) return nullptr;
          v = (v << 4) | static_cast<unsigned>(digit);
        }
        p += 4;
        out = writeCodeValue(out, v);
        break;
      }
      default:
        return nullptr;
    }
  }
  return out;
}

}  // namespace

// Indices 9 to 13 (\t \n \v \f \r) and 32 (space).
const uint8_t kBlank[256] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0,
                             0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

char* readString(const char* quote, const char* textEnd, json_tree::TreeMemory& memory, uint32_t* length,
                 const char** after) {
  const char* start = quote + 1;
  bool escaped = false;
  const char* close = findClosingQuote(start, textEnd, &escaped);
  if (close == nullptr) return nullptr;
  size_t rawLength = static_cast<size_t>(close - start);
  if (rawLength >= UINT32_MAX) return nullptr;
  char* text = json_tree::takeText(memory, rawLength + 1);
  if (text == nullptr) return nullptr;
  size_t decodedLength = rawLength;
  if (!escaped) {
    std::memcpy(text, start, rawLength);
    text[rawLength] = '\0';
  } else {
    char* end = decodeEscapes(start, close, text);
    if (end == nullptr) return nullptr;
    *end = '\0';
    // A \u0000 ends the text where it stands.
    decodedLength = std::strlen(text);
    json_tree::shrinkLastText(memory, text, decodedLength + 1);
  }
  *length = static_cast<uint32_t>(decodedLength);
  *after = close + 1;
  return text;
}

}  // namespace json_text
