// Building request bodies by bounded formatted appends (see request_body.h).
#include "service/request_body.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

void startRequestBody(RequestBody& body, const ApiSession& session, const char* method) {
  body.text[0] = '\0';
  appendToBody(body, "token=%s&method=%s", session.apiKey, method);
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
