// Bounded printf-style formatting (see bounded_format.h).
#include "frame/bounded_format.h"

#include <cstdio>
#include <cstring>

int boundedFormatList(char* buffer, size_t capacity, const char* format, va_list values) {
  if (buffer == nullptr || capacity == 0) return -1;
  int written = std::vsnprintf(buffer, capacity, format, values);
  if (written < 0) {
    buffer[0] = '\0';
    return -1;
  }
  if (static_cast<size_t>(written) >= capacity) return -1;
  return written;
}

int boundedFormat(char* buffer, size_t capacity, const char* format, ...) {
  va_list values;
  va_start(values, format);
  int written = boundedFormatList(buffer, capacity, format, values);
  va_end(values);
  return written;
}

TextComposer startText(char* buffer, size_t capacity) {
  if (capacity > 0) buffer[0] = '\0';
  return TextComposer{buffer, capacity, 0, capacity == 0};
}

void appendText(TextComposer& text, const char* format, ...) {
  if (text.cut) return;
  va_list values;
  va_start(values, format);
  int written = boundedFormatList(text.buffer + text.length, text.capacity - text.length, format, values);
  va_end(values);
  if (written < 0) {
    // What fitted stays; the running length must not go backwards.
    text.length += std::strlen(text.buffer + text.length);
    text.cut = true;
    return;
  }
  text.length += static_cast<size_t>(written);
}
