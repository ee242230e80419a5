// Host file functions: open and close, the file holder that owns a handle
// until it is given up, and the formatted write.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/host_exports.h"

using standin::recordCall;

STANDIN_EXPORT void* MG_STDCALL ordinal_52534(const char* name, const char* mode, int32_t, int32_t, int32_t, int32_t,
                                         int32_t, int32_t, int32_t) {
  recordCall(52534, std::string(name ? name : "") + " " + (mode ? mode : ""));
  if (name == nullptr || mode == nullptr) return nullptr;
  return std::fopen(name, mode);
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_52305(void* file) {
  recordCall(52305);
  return file != nullptr ? std::fclose(static_cast<FILE*>(file)) : -1;
}

// The file holder keeps one handle in the first bytes of its storage.
STANDIN_EXPORT void* MG_THISCALL ordinal_22562(void* holder, void* file) {
  recordCall(22562);
  std::memcpy(holder, &file, sizeof file);
  return holder;
}

STANDIN_EXPORT void* MG_THISCALL ordinal_22567(void* holder) {
  recordCall(22567);
  void* file = nullptr;
  std::memcpy(&file, holder, sizeof file);
  void* none = nullptr;
  std::memcpy(holder, &none, sizeof none);
  return file;
}

STANDIN_EXPORT void MG_THISCALL ordinal_22563(void* holder) {
  recordCall(22563);
  void* file = nullptr;
  std::memcpy(&file, holder, sizeof file);
  if (file != nullptr) std::fclose(static_cast<FILE*>(file));
}

STANDIN_EXPORT int32_t MG_CDECL ordinal_52541(void* file, const char* format, ...) {
  if (file == nullptr || format == nullptr) return -1;
  if (std::strcmp(format, "%s") == 0) {
    // A text written as it stands, the usual call: without the formatter.
    va_list values;
    va_start(values, format);
    const char* text = va_arg(values, const char*);
    va_end(values);
    if (text != nullptr) {
      size_t length = std::strlen(text);
      return std::fwrite(text, 1, length, static_cast<FILE*>(file)) == length ? static_cast<int32_t>(length) : -1;
    }
  }
  va_list values;
  va_start(values, format);
  int written = std::vfprintf(static_cast<FILE*>(file), format, values);
  va_end(values);
  return written;
}

STANDIN_CHECK_SIGNATURE(52534, OpenFileFn);
STANDIN_CHECK_SIGNATURE(52305, CloseFileFn);
STANDIN_CHECK_SIGNATURE(22562, FileHolderConstructFn);
STANDIN_CHECK_SIGNATURE(22567, FileHolderGiveUpFn);
STANDIN_CHECK_SIGNATURE(22563, FileHolderDestroyFn);
STANDIN_CHECK_SIGNATURE(52541, FormattedFileWriteFn);
