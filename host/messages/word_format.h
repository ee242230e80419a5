// Formats a printf-style text whose arguments come as an array of
// pointer-sized words, the way the host's titled message receives them.
#pragma once

#include <cstdint>
#include <string>

namespace standin {

// Supports %s, %c, %d, %i, %u, %x, %X, %ld, %hu, %hd, flags, width, precision
// and %%; anything else is copied as it stands.
std::string formatWords(const char* format, const uintptr_t* words);

}  // namespace standin
