// The host's option files: named ini files in the working directory (41399)
// and the host's own profile, "tomiks.ini" in the working directory (52224).
#include <string>

#include "core/host_exports.h"
#include "options/ini_files.h"

using standin::recordCall;

namespace {

// The plug-in reads its options a value at a time, tens of thousands of
// times in an import: the path is put together in one buffer kept for it.
const std::string& inWorkingDirectory(const char* name) {
  static std::string path;
  path = standin::workingDirectory();
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string describe(int mode, const char* section, const char* key, const char* format) {
  return std::to_string(mode) + " [" + (section ? section : "") + "] " + (key ? key : "") + " " +
         (format ? format : "");
}

}  // namespace

STANDIN_EXPORT int16_t MG_CDECL ordinal_41399(const char* file, int32_t mode, const char* section, const char* key,
                                              const char* format, va_list values) {
  // The plug-in reads its options one value at a time: the record's text is
  // made only when calls are kept; the call is counted either way.
  if (standin::state().recordingCalls) {
    recordCall(41399, std::string(file ? file : "") + " " + describe(mode, section, key, format));
  } else {
    standin::countHostCall();
  }
  if (file == nullptr) return 1;
  return standin::iniAccess(inWorkingDirectory(file), mode, section, key, format, values);
}

STANDIN_EXPORT int16_t MG_CDECL ordinal_52224(int32_t mode, const char* section, const char* key, const char* format,
                                              va_list values) {
  if (standin::state().recordingCalls) {
    recordCall(52224, describe(mode, section, key, format));
  } else {
    standin::countHostCall();
  }
  return standin::iniAccess(inWorkingDirectory("tomiks.ini"), mode, section, key, format, values);
}

STANDIN_CHECK_SIGNATURE(41399, IniFileValueFn);
STANDIN_CHECK_SIGNATURE(52224, HostProfileValueFn);
