// Host functions of the kept files' libFuzzer build: the readers call none
// of them, the writers beside them in the same files need them to link.
#include <cstdlib>
#include <cstring>

#include "hostlink/host_services.h"
#include "settings/import_settings.h"

const char* hostWorkingDirectory() { return "."; }

void hostBoundedCopy(char* destination, const char* source, int32_t limit) {
  std::strncpy(destination, source, static_cast<size_t>(limit));
  destination[limit] = '\0';
}

void hostAppendToPath(char* path, const char* name) {
  std::strcat(path, "/");
  std::strcat(path, name);
}

// A reader that tells the user anything has gone where it must not.
void hostMessage(const char*) { std::abort(); }

bool keepBookedOrders() { return true; }
