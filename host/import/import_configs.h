// The stand-in's stored universal-import configurations: records of the
// host's layout kept by name in one file of the working directory.
#pragma once

#include <string>

namespace standin {

// Copies the record stored under name into record (size bytes); false, and
// record untouched, when there is none.
bool loadImportConfigRecord(const std::string& name, void* record, size_t size);
// Stores the record under name, replacing an earlier one; false when the
// file cannot be written.
bool saveImportConfigRecord(const std::string& name, const void* record, size_t size);

// The file name stored at byte 0x14 of a record (at most 271 characters).
std::string importConfigFileName(const void* record);

}  // namespace standin
