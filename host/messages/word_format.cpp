// Formatting with an array of words (see word_format.h).
#include "messages/word_format.h"

#include <cstdio>
#include <cstring>

namespace standin {

std::string formatWords(const char* format, const uintptr_t* words) {
  std::string out;
  if (format == nullptr) return out;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      out += '%';
      continue;
    }
    while (*p != '\0' && std::strchr("-+ #0123456789.", *p) != nullptr) ++p;
    std::string length;
    while (*p == 'h' || *p == 'l') length += *p++;
    char conversion = *p;
    if (conversion == '\0' || std::strchr("scdiuxX", conversion) == nullptr) {
      out.append(start, p - start + (conversion != '\0'));
      if (conversion == '\0') break;
      continue;
    }
    std::string directive(start, p - start - length.size());
    uintptr_t word = *words++;
    char buffer[512];
    if (conversion == 's') {
      const char* text = reinterpret_cast<const char*>(word);
      std::snprintf(buffer, sizeof buffer, (directive + "s").c_str(), text != nullptr ? text : "(null)");
      out += text != nullptr && std::strlen(text) >= sizeof buffer - 1 ? std::string(text) : std::string(buffer);
      continue;
    }
    long long value = 0;
    if (conversion == 'd' || conversion == 'i') {
      value = length == "h" ? static_cast<short>(word) : static_cast<int32_t>(word);
      std::snprintf(buffer, sizeof buffer, (directive + "lld").c_str(), value);
    } else if (conversion == 'c') {
      std::snprintf(buffer, sizeof buffer, (directive + "c").c_str(), static_cast<int>(word));
    } else {
      unsigned long long u = length == "h" ? static_cast<unsigned short>(word) : static_cast<uint32_t>(word);
      std::snprintf(buffer, sizeof buffer, (directive + "ll" + conversion).c_str(), u);
    }
    out += buffer;
  }
  return out;
}

}  // namespace standin
