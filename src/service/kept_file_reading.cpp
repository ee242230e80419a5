// Reading kept files (see kept_file_reading.h).
#include "service/kept_file_reading.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/kept_files.h"

namespace {

// Causes of a file that cannot be read or used.
constexpr char kCauseFolder[] = "w jego miejscu jest folder";
constexpr char kCauseNoPermission[] = "brak uprawnie\xA4";
constexpr char kCauseInUse[] = "plik jest u\xA7ywany przez inny program";
constexpr char kCauseInputOutput[] =
    "b\x92\x86"
    "d wej\x9E"
    "cia-wyj\x9E"
    "cia";
constexpr char kCauseDiskFull[] = "brak miejsca na dysku";
constexpr char kCauseReadOnly[] = "dysk tylko do odczytu";
constexpr char kCauseNoLocking[] = "system plik\xA2w nie pozwala na blokad\x91";
constexpr char kCauseNoFolder[] = "nie ma takiego folderu";
constexpr char kCauseNoResources[] = "za ma\x92o zasob\xA2w systemu";
constexpr char kCauseSystem[] =
    "b\x92\x86"
    "d systemu nr %d";
constexpr char kCauseWindows[] =
    "b\x92\x86"
    "d systemu Windows nr %d";

}  // namespace

KeptRead readKeptFile(const std::string& path, std::vector<std::string>& lines, std::string& cause,
                      bool* lastLineEnded) {
  lines.clear();
  cause.clear();
  if (lastLineEnded != nullptr) *lastLineEnded = true;
  if (!pathExists(path.c_str())) return KeptRead::Missing;
  if (!regularFileExists(path.c_str())) {
    cause = keptFileCause(path, 0);
    return KeptRead::Unreadable;
  }
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");  // bytes as they are: no end at a Ctrl+Z on Windows
  if (file == nullptr) {
    if (errno == ENOENT) return KeptRead::Missing;  // gone meanwhile
    cause = keptFileCause(path, errno);
    return KeptRead::Unreadable;
  }
  std::string bytes;
  char chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  int error = std::ferror(file) ? errno : 0;
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    cause = keptFileCause(path, error != 0 ? error : EIO);
    return KeptRead::Unreadable;
  }
  splitKeptLines(bytes.data(), bytes.size(), lines);
  if (lastLineEnded != nullptr) *lastLineEnded = bytes.empty() || bytes.back() == '\n';
  return KeptRead::Read;
}

bool readKeptLines(const std::string& path, std::vector<std::string>& lines) {
  std::string cause;
  return readKeptFile(path, lines, cause) == KeptRead::Read;
}

void splitKeptLines(const char* bytes, size_t size, std::vector<std::string>& lines) {
  lines.clear();
  size_t start = 0;
  while (start < size) {
    const void* found = std::memchr(bytes + start, '\n', size - start);
    size_t end = found != nullptr ? static_cast<size_t>(static_cast<const char*>(found) - bytes) : size;
    size_t length = end - start;
    if (length > 0 && bytes[start + length - 1] == '\r') --length;
    lines.emplace_back(bytes + start, length);
    start = end + 1;
  }
}

std::string keptFileCause(const std::string& path, int error) {
  if (pathExists(path.c_str()) && !regularFileExists(path.c_str())) return kCauseFolder;
  char text[96];
  switch (error) {
    case EACCES:
    case EPERM:
      return kCauseNoPermission;
    case EBUSY:
      return kCauseInUse;
    case EIO:
      return kCauseInputOutput;
    case ENOSPC:
      return kCauseDiskFull;
    case EROFS:
      return kCauseReadOnly;
    case ENOLCK:
    case EINVAL:
    case ENOSYS:
      return kCauseNoLocking;
    case ENOENT:
    case ENOTDIR:
      return kCauseNoFolder;
    case EMFILE:
    case ENFILE:
    case ENOMEM:
      return kCauseNoResources;
    default:
      std::snprintf(text, sizeof text, error < 0 ? kCauseWindows : kCauseSystem, error < 0 ? -error : error);
      return text;
  }
}

bool dayNumber(const std::string& date, long& days) {
  int year = 0, month = 0, day = 0;
  char end = 0;
  if (date.size() != 10 || std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3) return false;
  if (year < 1970 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  // Days from the civil date (proleptic Gregorian).
  long y = month <= 2 ? year - 1 : year;
  long era = y / 400;
  long yearOfEra = y - era * 400;
  long dayOfYear = (153L * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  days = era * 146097 + dayOfEra - 719468;
  return true;
}
