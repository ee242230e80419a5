// Universal-import configurations in "tomiks-import-configs.bin": a sequence
// of entries, each a 64-byte NUL-padded name followed by the record.
#include "import/import_configs.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "hostlink/host_abi.h"
#include "control/host_control.h"

namespace standin {

namespace {

constexpr size_t kNameField = 64;
constexpr size_t kRecordSize = host_abi::kUniversalImportConfigSize;
constexpr size_t kEntrySize = kNameField + kRecordSize;
constexpr size_t kFileNameOffset = 0x14;
constexpr size_t kFileNameEnd = 0x124;

std::string configPath() { return workingDirectory() + "/" + kImportConfigFile; }

std::vector<char> readEntries() {
  std::ifstream in(configPath(), std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  bytes.resize(bytes.size() / kEntrySize * kEntrySize);
  return bytes;
}

// Offset of the entry for name, or npos.
size_t findEntry(const std::vector<char>& entries, const std::string& name) {
  for (size_t at = 0; at < entries.size(); at += kEntrySize) {
    if (std::strncmp(&entries[at], name.c_str(), kNameField) == 0) return at;
  }
  return std::string::npos;
}

}  // namespace

bool loadImportConfigRecord(const std::string& name, void* record, size_t size) {
  if (record == nullptr || name.empty() || name.size() >= kNameField) return false;
  std::vector<char> entries = readEntries();
  size_t at = findEntry(entries, name);
  if (at == std::string::npos) return false;
  std::memcpy(record, &entries[at + kNameField], size < kRecordSize ? size : kRecordSize);
  return true;
}

bool saveImportConfigRecord(const std::string& name, const void* record, size_t size) {
  if (record == nullptr || name.empty() || name.size() >= kNameField) return false;
  std::vector<char> entries = readEntries();
  size_t at = findEntry(entries, name);
  if (at == std::string::npos) {
    at = entries.size();
    entries.resize(at + kEntrySize, '\0');
    std::memcpy(&entries[at], name.c_str(), name.size());
  }
  std::memset(&entries[at + kNameField], 0, kRecordSize);
  std::memcpy(&entries[at + kNameField], record, size < kRecordSize ? size : kRecordSize);
  std::ofstream out(configPath(), std::ios::binary | std::ios::trunc);
  out.write(entries.data(), static_cast<std::streamsize>(entries.size()));
  return static_cast<bool>(out);
}

std::string importConfigFileName(const void* record) {
  const char* field = static_cast<const char*>(record) + kFileNameOffset;
  size_t length = 0;
  while (length < kFileNameEnd - kFileNameOffset && field[length] != '\0') ++length;
  return std::string(field, length);
}

}  // namespace standin
