// Building request bodies by bounded formatted appends (see request_body.h).
#include "service/request_body.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Letters, digits and "-._~" stand for themselves in a form body.
bool plainInForm(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

// The key with every other byte as "%XX"; at most capacity - 1 characters,
// never half an escape.
void encodeKey(char* encoded, size_t capacity, const char* key) {
  static const char kHex[] = "0123456789ABCDEF";
  size_t used = 0;
  for (size_t i = 0; key[i] != '\0'; ++i) {
    unsigned char c = static_cast<unsigned char>(key[i]);
    size_t width = plainInForm(c) ? 1 : 3;
    if (used + width >= capacity) break;
    if (width == 1) {
      encoded[used++] = static_cast<char>(c);
    } else {
      encoded[used++] = '%';
      encoded[used++] = kHex[c >> 4];
      encoded[used++] = kHex[c & 0x0F];
    }
  }
  encoded[used] = '\0';
}

}  // namespace

void startRequestBody(RequestBody& body, const ApiSession& session, const char* method) {
  char key[sizeof session.apiKey * 3];
  char stored[sizeof session.apiKey];
  std::memcpy(stored, session.apiKey, sizeof stored);
  stored[sizeof stored - 1] = '\0';
  encodeKey(key, sizeof key, stored);
  body.text[0] = '\0';
  appendToBody(body, "token=%s&method=%s", key, method);
}

void appendToBody(RequestBody& body, const char* format, ...) {
  size_t used = std::strlen(body.text);
  if (used + 1 >= sizeof body.text) return;
  va_list values;
  va_start(values, format);
  std::vsnprintf(body.text + used, sizeof body.text - used, format, values);
  va_end(values);
  body.text[sizeof body.text - 1] = '\0';  // also where the formatter does not end a cut text
}
