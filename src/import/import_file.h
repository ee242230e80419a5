// The import file "marketgate.edi": its name, its header and the converting
// writer through which text from the service reaches it in Windows-1250.
// Fixed texts and numbers go through the raw write (hostFileWrite).
#pragma once

#include <cstddef>

// Name of the import file in the host's working directory.
constexpr const char kImportFileName[] = "marketgate.edi";

// Size of the block a formatted line is first written into.
constexpr size_t kFormatBlockSize = 205825;

// Formats like the raw write, converts the line from UTF-8 to Windows-1250
// and appends it to the file. A line that cannot be written (no memory) is
// dropped; the caller goes on with the next one.
void _fprintfUTF(void* file, const char* format, ...);

// Writes the file's "[Info]" section.
void writeImportFileHeader(void* file);
