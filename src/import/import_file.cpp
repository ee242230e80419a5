// The converting writer of the import file and the file's header.
#include "import/import_file.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"

namespace {

constexpr char kNoMemoryForLine[] =
    "Nie uda\x92o si\x91 zaj\x86\x8D pami\x91"
    "ci dla zmiennej w funkcji _fprintfUTF";

// Formats into a host block: the usual work block, or, for a line that does
// not fit it, a block of the line's own size. Null when no block is given.
char* formatIntoHostBlock(const char* format, va_list values, size_t& length) {
  char* block = static_cast<char*>(hostAllocateZeroed(1, kFormatBlockSize));
  if (block == nullptr) return nullptr;
  va_list retry;
  va_copy(retry, values);
  int written = std::vsnprintf(block, kFormatBlockSize, format, values);
  if (written >= 0 && static_cast<size_t>(written) >= kFormatBlockSize) {
    hostRelease(block);
    block = static_cast<char*>(hostAllocateZeroed(1, static_cast<uint32_t>(written) + 1));
    if (block != nullptr) written = std::vsnprintf(block, static_cast<size_t>(written) + 1, format, retry);
  }
  va_end(retry);
  if (block != nullptr && written < 0) {
    hostRelease(block);
    block = nullptr;
  }
  length = block != nullptr ? static_cast<size_t>(written) : 0;
  return block;
}

}  // namespace

void _fprintfUTF(ImportFile* file, const char* format, ...) {
  if (importFileFailed(*file)) return;
  va_list values;
  va_start(values, format);
  size_t length = 0;
  char* line = formatIntoHostBlock(format, values, length);
  va_end(values);
  if (line == nullptr) {
    file->fault = ImportFileFault::noMemory;
    return;
  }

  // UTF-8 never grows when it becomes Windows-1250; the block is twice the
  // line and a little more, as the host's conversion expects.
  char* converted = nullptr;
  uint32_t convertedSize = 0;
  if (length <= (INT32_MAX - 10) / 2) {
    convertedSize = static_cast<uint32_t>(2 * length + 10);
    converted = static_cast<char*>(hostAllocateZeroed(1, convertedSize));
  }
  if (converted == nullptr) {
    hostMessage(kNoMemoryForLine);
    hostRelease(line);
    file->fault = ImportFileFault::noMemory;
    return;
  }
  hostConvertText(converted, static_cast<int32_t>(convertedSize), line, -1, host_abi::kCodeUtf8,
                  host_abi::kCodeWindows1250);
  writeImportText(file, "%s", converted);
  hostRelease(converted);
  hostRelease(line);
}

void writeImportFileHeader(ImportFile* file) {
  writeImportText(file, "[Info]\nProgram=Marketgate\nKodowanie=Windows 1250\n\n");
}

void closeImportFile(ImportFile* file) {
  errno = 0;
  if (hostCloseFile(file->handle) != 0 && !importFileFailed(*file)) {
    file->fault = ImportFileFault::close;
    file->systemError = errno;
  }
  file->handle = nullptr;
}
