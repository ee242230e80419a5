// The import file "marketgate.edi": its name, its header and the converting
// writer through which text from the service reaches it in Windows-1250.
// Fixed texts and numbers go through the raw write (writeImportText). Every
// write is checked: after one that did not complete nothing more is written
// and the file is never handed to the host.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "hostlink/host_services.h"

// Name of the import file in the host's working directory.
constexpr const char kImportFileName[] = "marketgate.edi";

// Size of the block a formatted line is first written into.
constexpr size_t kFormatBlockSize = 205825;

// What stopped the file being written whole.
enum class ImportFileFault { none, write, noMemory, close };

// The open import file (the host's handle) and whether all went into it.
struct ImportFile {
  void* handle;
  ImportFileFault fault;
  int systemError;  // errno seen right after the failed write, 0 when none
};

inline bool importFileFailed(const ImportFile& file) { return file.fault != ImportFileFault::none; }

// The host's formatted write; a write that did not complete marks the file.
template <class... Args>
void writeImportText(ImportFile* file, const char* format, Args... args) {
  if (importFileFailed(*file)) return;
  errno = 0;
  if (hostFileWrite(file->handle, format, args...) < 0) {
    file->fault = ImportFileFault::write;
    file->systemError = errno;
  }
}

// Formats like the raw write, converts the line from UTF-8 to Windows-1250
// and appends it to the file. A line that cannot be formatted or converted
// (no memory) marks the file as failed, like a write that did not complete.
void _fprintfUTF(ImportFile* file, const char* format, ...);

// Writes the file's "[Info]" section.
void writeImportFileHeader(ImportFile* file);
// Closes the file; a close that failed (data not written out) marks it.
void closeImportFile(ImportFile* file);
