// Formatted messages (see user_message.h).
#include "service/user_message.h"

#include <cstdarg>
#include <cstdio>

#include "hostlink/host_services.h"

void showMessage(const char* format, ...) {
  char text[2048];
  va_list values;
  va_start(values, format);
  std::vsnprintf(text, sizeof text, format, values);  // cut, never overrun
  va_end(values);
  hostMessage(text);
}
