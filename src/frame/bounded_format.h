// printf-style formatting into a fixed-capacity text buffer, telling the
// caller whether the whole text fitted: the frame composes its messages
// piece by piece with it.
#pragma once

#include <cstdarg>
#include <cstddef>

// Formats into buffer (capacity bytes, the NUL included) and returns the
// number of characters written; -1 when the text did not fit or could not
// be formatted, the buffer then holding as much as fitted (always
// NUL-terminated when capacity > 0).
int boundedFormat(char* buffer, size_t capacity, const char* format, ...) __attribute__((format(printf, 3, 4)));
int boundedFormatList(char* buffer, size_t capacity, const char* format, va_list values);

// Appends pieces to a text buffer, each formatted with the capacity left;
// once a piece did not fit, the text stays cut where it is and later
// pieces are dropped.
struct TextComposer {
  char* buffer;
  size_t capacity;
  size_t length;
  bool cut;
};

TextComposer startText(char* buffer, size_t capacity);
void appendText(TextComposer& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
