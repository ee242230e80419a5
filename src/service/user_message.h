// A message to the user built from a format (texts in the Mazovia code
// page), shown through the host's message function.
#pragma once

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void showMessage(const char* format, ...);
