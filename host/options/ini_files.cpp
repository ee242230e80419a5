// Option files of the host stand-in: a line-preserving reader and writer of
// "[section]" / "key=value" files, with atomic replacement on write.
#include "options/ini_files.h"

#include "text/kept_files.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace standin {
namespace {

enum class LineKind { kOther, kSection, kEntry };

// One line of the file as stored (text without its terminator, terminator apart),
// with what it means.
struct IniLine {
  std::string text;
  std::string ending;  // "\n", "\r\n" or "" for a last line without one
  LineKind kind = LineKind::kOther;
  std::string name;   // section name or key, trimmed
  std::string value;  // entry value, trimmed
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

void classify(IniLine& line, bool first) {
  std::string text = line.text;
  if (first && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // UTF-8 mark
  text = trim(text);
  if (text.empty() || text[0] == ';' || text[0] == '#') return;
  if (text[0] == '[') {
    const size_t close = text.find(']');
    if (close == std::string::npos) return;
    line.kind = LineKind::kSection;
    line.name = trim(text.substr(1, close - 1));
    return;
  }
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return;
  line.name = trim(text.substr(0, equals));
  if (line.name.empty()) return;
  line.kind = LineKind::kEntry;
  line.value = trim(text.substr(equals + 1));
}

std::vector<IniLine> splitLines(const std::string& content) {
  std::vector<IniLine> lines;
  size_t pos = 0;
  while (pos < content.size()) {
    IniLine line;
    const size_t newline = content.find('\n', pos);
    const size_t end = newline == std::string::npos ? content.size() : newline;
    line.text = content.substr(pos, end - pos);
    if (newline != std::string::npos) {
      line.ending = "\n";
      if (!line.text.empty() && line.text.back() == '\r') {
        line.text.pop_back();
        line.ending = "\r\n";
      }
    }
    classify(line, lines.empty());
    lines.push_back(std::move(line));
    pos = newline == std::string::npos ? content.size() : newline + 1;
  }
  return lines;
}

// What tells one state of a file from another without reading it: its
// identity, size and times (nanoseconds since the epoch).
struct FileStamp {
  uint64_t identity = 0;  // inode and device; the creation time on Windows
  uint64_t size = 0;
  int64_t modified = 0;
  int64_t changed = 0;  // status change; equal to modified on Windows
  bool operator==(const FileStamp& other) const {
    return identity == other.identity && size == other.size && modified == other.modified && changed == other.changed;
  }
};

#ifdef _WIN32
int64_t fromFileTime(const FILETIME& time) {
  const uint64_t ticks = (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return int64_t(ticks - 116444736000000000ULL) * 100;  // 100 ns since 1601
}

bool stampOf(const std::string& path, FileStamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  stamp.identity = uint64_t(fromFileTime(data.ftCreationTime));
  stamp.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.modified = stamp.changed = fromFileTime(data.ftLastWriteTime);
  return true;
}

int64_t nowNanoseconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return fromFileTime(now);
}
#else
bool stampOf(const std::string& path, FileStamp& stamp) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  stamp.identity = uint64_t(status.st_ino) * 31 + uint64_t(status.st_dev);
  stamp.size = uint64_t(status.st_size);
  stamp.modified = int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
  stamp.changed = int64_t(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
  return true;
}

int64_t nowNanoseconds() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}
#endif

// A file read before, with its lines. Its stamp vouches for its content only
// once the file's times lie clearly before the moment the content was
// confirmed: a write in the same tick of the file system's clock may leave
// size and times as they were. Times in whole seconds betray a coarse clock.
struct ReadFile {
  FileStamp stamp;
  int64_t confirmedAt = 0;
  std::string content;
  std::vector<IniLine> lines;

  bool vouchedFor(const FileStamp& now) const {
    constexpr int64_t kSecond = 1000000000;
    const int64_t latest = stamp.modified > stamp.changed ? stamp.modified : stamp.changed;
    const int64_t tick = latest % kSecond == 0 ? 2 * kSecond : kSecond / 10;
    return now == stamp && latest < confirmedAt - tick;
  }
};

// Files are read anew only when their stamp changed (the plug-in reads one
// value at a time, a few dozen per service request): one status call a read.
std::map<std::string, ReadFile>& readFiles() {
  static std::map<std::string, ReadFile> files;
  return files;
}

// Where section/key stands in the file: the entry line, and (when the key is
// missing) the line after which a new entry of an existing section goes.
struct Location {
  size_t entry = std::string::npos;
  size_t insertAfter = std::string::npos;
};

Location locate(const std::vector<IniLine>& lines, const std::string& section, const std::string& key) {
  Location where;
  bool inSection = false;
  bool inFirstBlock = false;  // new keys join the first section of that name
  for (size_t i = 0; i < lines.size(); ++i) {
    const IniLine& line = lines[i];
    if (line.kind == LineKind::kSection) {
      inSection = sameName(line.name, section);
      inFirstBlock = inSection && where.insertAfter == std::string::npos;
      if (inFirstBlock) where.insertAfter = i;
    } else if (inSection && line.kind == LineKind::kEntry) {
      if (sameName(line.name, key)) {
        where.entry = i;
        return where;
      }
      if (inFirstBlock) where.insertAfter = i;
    }
  }
  return where;
}

// The file's lines as they stand now; null when it cannot be read.
const std::vector<IniLine>* currentLines(const std::string& path) {
  std::map<std::string, ReadFile>& files = readFiles();
  auto known = files.find(path);
  const int64_t readAt = nowNanoseconds();
  FileStamp stamp;
  // A name the system's status call refuses (longer than MAX_PATH on
  // Windows) may still open: such a file is read anew every time.
  const bool stamped = stampOf(path, stamp);
  if (stamped && known != files.end() && known->second.vouchedFor(stamp)) return &known->second.lines;
  std::string content;
  if (readWholeFile(path, content) != WholeRead::kRead) {
    if (known != files.end()) files.erase(known);
    return nullptr;
  }
  ReadFile& file = files[path];
  if (known == files.end() || file.content != content) {
    file.content = std::move(content);
    file.lines = splitLines(file.content);
  }
  file.stamp = stamped ? stamp : FileStamp{};
  file.confirmedAt = stamped ? readAt : 0;
  return &file.lines;
}

bool findValue(const std::string& path, const std::string& section, const std::string& key, std::string& value) {
  const std::vector<IniLine>* read = currentLines(path);
  if (read == nullptr) return false;
  const std::vector<IniLine>& lines = *read;
  const Location where = locate(lines, section, key);
  if (where.entry == std::string::npos) return false;
  value = lines[where.entry].value;
  return true;
}

bool storable(const std::string& section, const std::string& key, const std::string& value) {
  const std::string cleanSection = trim(section), cleanKey = trim(key);
  if (cleanSection.empty() || cleanKey.empty()) return false;
  if (section.find_first_of("]\r\n") != std::string::npos) return false;
  if (key.find_first_of("=\r\n") != std::string::npos) return false;
  if (cleanKey[0] == '[' || cleanKey[0] == ';' || cleanKey[0] == '#') return false;
  return value.find_first_of("\r\n") == std::string::npos;
}

std::string lineEndingOf(const std::vector<IniLine>& lines) {
  for (const IniLine& line : lines) {
    if (!line.ending.empty()) return line.ending;
  }
#ifdef _WIN32
  return "\r\n";
#else
  return "\n";
#endif
}

std::string joinLines(const std::vector<IniLine>& lines) {
  std::string content;
  for (const IniLine& line : lines) content += line.text + line.ending;
  return content;
}

bool storeValue(const std::string& path, const std::string& section, const std::string& key, const std::string& value) {
  if (!storable(section, key, value)) return false;
  std::string content;
  // A missing file is created; one that cannot be read is not written over.
  if (readWholeFile(path, content) == WholeRead::kUnreadable) return false;
  std::vector<IniLine> lines = splitLines(content);
  const std::string ending = lineEndingOf(lines);
  const Location where = locate(lines, section, key);
  IniLine entry;
  entry.ending = ending;
  if (where.entry != std::string::npos) {
    IniLine& line = lines[where.entry];
    line.text = line.name + "=" + value;
    if (line.ending.empty()) line.ending = ending;
  } else if (where.insertAfter != std::string::npos) {
    IniLine& previous = lines[where.insertAfter];
    if (previous.ending.empty()) previous.ending = ending;
    entry.text = trim(key) + "=" + value;
    lines.insert(lines.begin() + static_cast<long>(where.insertAfter) + 1, entry);
  } else {
    if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = ending;
    if (!lines.empty() && !trim(lines.back().text).empty()) {
      IniLine blank;
      blank.ending = ending;
      lines.push_back(blank);
    }
    IniLine header;
    header.text = "[" + trim(section) + "]";
    header.ending = ending;
    lines.push_back(header);
    entry.text = trim(key) + "=" + value;
    lines.push_back(entry);
  }
  return replaceWholeFile(path, joinLines(lines));
}

// "%d" values: optional sign and decimal digits, within the 16-bit range.
bool parseShort(const std::string& text, int16_t& number) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == text.size()) return false;
  long value = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < '0' || text[pos] > '9') return false;
    value = value * 10 + (text[pos] - '0');
    if (value > 32768) return false;
  }
  if (negative) value = -value;
  if (value > 32767) return false;
  number = static_cast<int16_t>(value);
  return true;
}

int16_t readInto(const std::string& path, const std::string& section, const std::string& key, bool isNumber,
                 va_list args) {
  if (isNumber) {
    auto* field = va_arg(args, int16_t*);
    std::string value;
    int16_t number = 0;
    if (field == nullptr || !findValue(path, section, key, value) || !parseShort(value, number)) {
      return 1;
    }
    *field = number;
    return 0;
  }
  auto* buffer = va_arg(args, char*);
  std::string value;
  if (buffer == nullptr || !findValue(path, section, key, value)) return 1;
  const size_t limit = static_cast<size_t>(kIniTextLimit);
  const size_t length = value.size() < limit ? value.size() : limit;
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return 0;
}

int16_t writeFrom(const std::string& path, const std::string& section, const std::string& key, bool isNumber,
                  va_list args) {
  std::string value;
  if (isNumber) {
    value = std::to_string(va_arg(args, int));
  } else {
    const char* text = va_arg(args, const char*);
    if (text == nullptr) return 1;
    value = text;
  }
  return storeValue(path, section, key, value) ? 0 : 1;
}

}  // namespace

int16_t iniAccess(const std::string& path, int mode, const char* section, const char* key, const char* format,
                  va_list args) {
  if (section == nullptr || key == nullptr || format == nullptr) return 1;
  const bool isNumber = std::strcmp(format, "%d") == 0;
  if (!isNumber && std::strcmp(format, "%s") != 0) return 1;
  if (mode == kIniRead) return readInto(path, section, key, isNumber, args);
  if (mode == kIniWrite) return writeFrom(path, section, key, isNumber, args);
  return 1;
}

int16_t iniAccessWith(const std::string& path, int mode, const char* section, const char* key, const char* format,
                      ...) {
  va_list args;
  va_start(args, format);
  const int16_t result = iniAccess(path, mode, section, key, format, args);
  va_end(args);
  return result;
}

bool iniRead(const std::string& path, const std::string& section, const std::string& key, std::string& out) {
  return findValue(path, section, key, out);
}

std::vector<std::pair<std::string, std::string>> iniSection(const std::string& path, const std::string& section) {
  std::vector<std::pair<std::string, std::string>> entries;
  std::string content;
  if (readWholeFile(path, content) != WholeRead::kRead) return entries;
  bool inSection = false;
  for (const IniLine& line : splitLines(content)) {
    if (line.kind == LineKind::kSection) inSection = sameName(line.name, section);
    if (inSection && line.kind == LineKind::kEntry) entries.emplace_back(line.name, line.value);
  }
  return entries;
}

bool iniWrite(const std::string& path, const std::string& section, const std::string& key, const std::string& value) {
  return storeValue(path, section, key, value);
}

}  // namespace standin
