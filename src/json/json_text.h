// Byte classes and the string reader of the JSON parser: blanks, the bytes
// that end a plain run inside a string, and the decoding of one quoted
// string into the tree's memory.
#pragma once

#include <cstdint>

#include "json/json_tree_memory.h"

namespace json_text {

// Blanks are the "C" locale's isspace bytes: space, \t, \n, \v, \f, \r.
extern const uint8_t kBlank[256];

inline const char* skipBlanks(const char* p) {
  while (kBlank[static_cast<unsigned char>(*p)]) ++p;
  return p;
}

// Reads the string whose opening quote is at `quote`; `textEnd` is the
// terminating NUL of the whole text. On success returns the decoded text
// (exactly its length + 1 bytes of the tree's memory, ending at the first NUL
// the decoding produced), stores that length in *length and the position
// after the closing quote in *after. Null on any failure.
char* readString(const char* quote, const char* textEnd, json_tree::TreeMemory& memory, uint32_t* length,
                 const char** after);

}  // namespace json_text
