// Kept text files (see kept_text_file.h).
#include "service/kept_text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "hostlink/host_services.h"
#include "platform/kept_files.h"
#include "service/import_history.h"
#include "service/user_message.h"

namespace {

constexpr size_t kPathBufferSize = 520;
constexpr char kUnreadableFile[] =
    "Nie mo\xA7na odczyta\x8D pliku %s (%s). Import zam\xA2wie\xA4 nie zostanie uruchomiony, dop\xA2ki tego pliku "
    "nie da si\x91 odczyta\x8D: bez niego zam\xA2wienia mog\x92yby zosta\x8D zaimportowane dwa razy albo zagubione.";
// Causes of a file that cannot be read or used.
constexpr char kCauseFolder[] = "w jego miejscu jest folder";
constexpr char kCauseNoPermission[] = "brak uprawnie\xA4";
constexpr char kCauseInUse[] = "plik jest u\xA7ywany przez inny program";
constexpr char kCauseInputOutput[] = "b\x92\x86" "d wej\x9E" "cia-wyj\x9E" "cia";
constexpr char kCauseDiskFull[] = "brak miejsca na dysku";
constexpr char kCauseReadOnly[] = "dysk tylko do odczytu";
constexpr char kCauseNoLocking[] = "system plik\xA2w nie pozwala na blokad\x91";
constexpr char kCauseNoFolder[] = "nie ma takiego folderu";
constexpr char kCauseNoResources[] = "za ma\x92o zasob\xA2w systemu";
constexpr char kCauseSystem[] = "b\x92\x86" "d systemu nr %d";
constexpr char kCauseWindows[] = "b\x92\x86" "d systemu Windows nr %d";
constexpr char kDamagedFile[] =
    "Plik %s by\x92 uszkodzony. Przeniesiono go do %s; zachowano odczytane z niego wpisy: %u.";

std::tm localNow() {
  std::time_t now = std::time(nullptr);
  const std::tm* parts = std::localtime(&now);  // the host's one thread
  return parts != nullptr ? *parts : std::tm{};
}

// "NAME-[MARK-]STAMP[-N].EXT" for "NAME.EXT".
std::string datedName(const std::string& path, const char* mark, const char* stamp, int number) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
  std::string name = path.substr(0, dot) + "-";
  if (mark != nullptr) name += std::string(mark) + "-";
  name += stamp;
  if (number > 0) name += "-" + std::to_string(number);
  return name + path.substr(dot);
}

}  // namespace

std::string workingFilePath(const char* name) {
  const char* directory = hostWorkingDirectory();
  if (std::strlen(directory) + 1 + std::strlen(name) >= kPathBufferSize) return std::string();
  char path[kPathBufferSize];
  hostBoundedCopy(path, directory, static_cast<int32_t>(kPathBufferSize - 1));
  hostAppendToPath(path, name);
  return path;
}

KeptRead readKeptFile(const std::string& path, std::vector<std::string>& lines, std::string& cause) {
  lines.clear();
  cause.clear();
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

void showUnreadableKeptFile(const std::string& path, const std::string& cause) {
  showMessage(kUnreadableFile, path.c_str(), cause.c_str());
}

bool keptFileReadable(const std::string& path) {
  std::vector<std::string> lines;
  std::string cause;
  if (readKeptFile(path, lines, cause) != KeptRead::Unreadable) return true;
  showUnreadableKeptFile(path, cause);
  return false;
}

bool writeKeptLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string fresh = path + ".new";
  std::FILE* file = std::fopen(fresh.c_str(), "w");
  if (file == nullptr) return false;
  bool written = true;
  for (const std::string& line : lines) {
    written = written && std::fputs(line.c_str(), file) >= 0 && std::fputc('\n', file) != EOF;
  }
  written = flushToDisk(file) && written;
  written = std::fclose(file) == 0 && written;
  if (written && replaceFile(fresh.c_str(), path.c_str())) return true;
  std::remove(fresh.c_str());
  return false;
}

std::string setFileAside(const std::string& path, const char* mark) {
  std::tm now = localNow();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.tm_year + 1900, now.tm_mon + 1, now.tm_mday,
                now.tm_hour, now.tm_min, now.tm_sec);
  for (int number = 0; number < 100; ++number) {
    std::string aside = datedName(path, mark, stamp, number);
    if (moveFileAside(path.c_str(), aside.c_str())) {
      noteInHistory("Plik %s przeniesiono do %s.", path.c_str(), aside.c_str());
      return aside;
    }
    if (!pathExists(aside.c_str())) return std::string();  // not a taken name: the move itself failed
  }
  return std::string();
}

void setDamagedFileAside(const std::string& path, size_t entriesKept) {
  std::string aside = setFileAside(path);
  showMessage(kDamagedFile, path.c_str(), aside.empty() ? "-" : aside.c_str(), static_cast<unsigned>(entriesKept));
}

std::string todayText() {
  std::tm now = localNow();
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
  return text;
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
