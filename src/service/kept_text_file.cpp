// Kept text files (see kept_text_file.h).
#include "service/kept_text_file.h"

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
