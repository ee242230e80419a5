// The form-encoded body of a service request: the API key and the method,
// then the method's parameters, built by formatted appends at the end of a
// fixed 1024-byte buffer that is never overrun.
#pragma once

#include <cstddef>

#include "service/api_session.h"

struct RequestBody {
  char text[1024];
};

// "token=<key>&method=<method>", the key percent-encoded: every byte but
// letters, digits and "-._~" as "%XX".
void startRequestBody(RequestBody& body, const ApiSession& session, const char* method);

// Appends the formatted text at the current end; what does not fit is cut.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void appendToBody(RequestBody& body, const char* format, ...);
