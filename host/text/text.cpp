// Host text and path services: working directory, path append, bounded
// copy, code-page conversion and the path conversion for reply files.
#include <cstring>
#include <string>

#include "text/codepages.h"
#include "core/host_exports.h"

using standin::recordCall;
using standin::state;

namespace {

// The host keeps the directory text alive; callers copy it at once.
std::string& directoryText() {
  static std::string text;
  return text;
}

int32_t conversionSettingValue = host_abi::kCodePath;

}  // namespace

STANDIN_EXPORT const char* MG_STDCALL ordinal_52016() {
  recordCall(52016);
  directoryText() = standin::workingDirectory();
  return directoryText().c_str();
}

// Appends a name to a path in place, with one separator between them.
STANDIN_EXPORT char* MG_STDCALL ordinal_52015(char* path, const char* name) {
  recordCall(52015, name ? name : "");
  if (path == nullptr || name == nullptr) return path;
  size_t length = std::strlen(path);
  if (length > 0 && path[length - 1] != '/' && path[length - 1] != '\\') path[length++] = '/';
  std::strcpy(path + length, name);
  return path;
}

// Copies at most bound bytes of source, then a NUL; a null source gives "".
STANDIN_EXPORT char* MG_STDCALL ordinal_52161(char* destination, const char* source, int32_t bound) {
  recordCall(52161);
  if (destination == nullptr) return destination;
  size_t length = 0;
  if (source != nullptr && bound > 0) {
    while (length < static_cast<size_t>(bound) && source[length] != '\0') ++length;
    std::memmove(destination, source, length);
  }
  destination[length] = '\0';
  return destination;
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_35387(char* destination, int32_t capacity, const char* source, int32_t length,
                                                int32_t fromCode, int32_t toCode) {
  // Called once per line of an import file: the record's text is made only
  // when calls are kept; the call is counted either way.
  if (state().recordingCalls) {
    recordCall(35387, std::to_string(fromCode) + ">" + std::to_string(toCode));
  } else {
    standin::countHostCall();
  }
  return standin::convertTextInto(destination, capacity, source, length, fromCode, toCode);
}

STANDIN_EXPORT int32_t* MG_STDCALL ordinal_38020() {
  recordCall(38020);
  return &conversionSettingValue;
}

// Converts a path for the host's file functions: from the code the setting
// names to the code given last (both the file-system code here).
STANDIN_EXPORT int32_t MG_STDCALL ordinal_35385(char* destination, int32_t capacity, const char* source, int32_t length,
                                                int32_t fromCode, int32_t toCode) {
  recordCall(35385, std::to_string(fromCode) + ">" + std::to_string(toCode));
  return standin::convertTextInto(destination, capacity, source, length, fromCode, toCode);
}

STANDIN_CHECK_SIGNATURE(52016, WorkingDirectoryFn);
STANDIN_CHECK_SIGNATURE(52015, AppendToPathFn);
STANDIN_CHECK_SIGNATURE(52161, BoundedCopyFn);
STANDIN_CHECK_SIGNATURE(35387, ConvertTextFn);
STANDIN_CHECK_SIGNATURE(38020, ConversionSettingFn);
STANDIN_CHECK_SIGNATURE(35385, ConvertTextFn);
