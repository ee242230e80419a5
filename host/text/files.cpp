// Host file functions: open and close, the file holder that owns a handle
// until it is given up, and the formatted write; with a byte limit set they
// fail as on a full disk (see setWriteFailsAfter).
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/host_exports.h"
#include "core/host_state.h"

using standin::recordCall;
using standin::state;

namespace {

bool diskFull() { return state().writeFailsAfter >= 0 && state().bytesWritten >= state().writeFailsAfter; }

// Writes what the limit leaves room for; the length, or -1 (errno ENOSPC)
// when not all of it fitted.
int32_t writeLimited(FILE* file, const char* text, size_t length) {
  standin::HostState& host = state();
  size_t room = length;
  if (host.writeFailsAfter >= 0) {
    int64_t left = host.writeFailsAfter - host.bytesWritten;
    room = left <= 0 ? 0 : (static_cast<uint64_t>(left) < length ? static_cast<size_t>(left) : length);
  }
  size_t written = room > 0 ? std::fwrite(text, 1, room, file) : 0;
  host.bytesWritten += static_cast<int64_t>(written);
  if (written == length) return static_cast<int32_t>(length);
  host.failedFiles.insert(file);
  errno = ENOSPC;
  return -1;
}

}  // namespace

STANDIN_EXPORT void* MG_STDCALL ordinal_52534(const char* name, const char* mode, int32_t, int32_t, int32_t, int32_t,
                                              int32_t, int32_t, int32_t) {
  recordCall(52534, std::string(name ? name : "") + " " + (mode ? mode : ""));
  if (name == nullptr || mode == nullptr) return nullptr;
  if (std::strpbrk(mode, "wa+") != nullptr && diskFull()) {
    errno = ENOSPC;
    return nullptr;
  }
  return std::fopen(name, mode);
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_52305(void* file) {
  recordCall(52305);
  if (file == nullptr) return -1;
  bool failed = state().failedFiles.erase(file) > 0;
  int closed = std::fclose(static_cast<FILE*>(file));
  if (!failed) return closed;
  errno = ENOSPC;
  return EOF;
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
  standin::countHostCall();
  if (file == nullptr || format == nullptr) return -1;
  FILE* out = static_cast<FILE*>(file);
  bool limited = state().writeFailsAfter >= 0;
  va_list values;
  va_start(values, format);
  if (!limited) {
    int written = std::vfprintf(out, format, values);
    va_end(values);
    return written;
  }
  va_list again;
  va_copy(again, values);
  int length = std::vsnprintf(nullptr, 0, format, values);
  va_end(values);
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, again);
  va_end(again);
  if (length < 0) return -1;
  return writeLimited(out, text.data(), text.size());
}

STANDIN_CHECK_SIGNATURE(52534, OpenFileFn);
STANDIN_CHECK_SIGNATURE(52305, CloseFileFn);
STANDIN_CHECK_SIGNATURE(22562, FileHolderConstructFn);
STANDIN_CHECK_SIGNATURE(22567, FileHolderGiveUpFn);
STANDIN_CHECK_SIGNATURE(22563, FileHolderDestroyFn);
STANDIN_CHECK_SIGNATURE(52541, FormattedFileWriteFn);
