// The history of imports (see import_history.h). The file is read, the new
// entry added, the bound applied and the whole replaced under the history's
// lock; nothing of it ever stops an import.
#include "service/import_history.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"
#include "hostlink/shown_messages.h"
#include "platform/file_lock.h"
#include "platform/kept_files.h"
#include "service/kept_text_file.h"
#include "service/user_message.h"

namespace {

constexpr char kHistoryNotSaved[] = "Nie uda\x92o si\x91 zapisa\x8D historii import\xA2w w pliku %s.";
constexpr char kImportHeading[] = " Import zam\xA2wie\xA4 z Marketgate";
constexpr char kMessageLabel[] = "  Komunikat: ";
constexpr char kEndLabel[] = "  Koniec: ";
const char* const kHistoryHead[] = {
    "# Marketgate: historia importow zamowien, tekst w kodowaniu Windows-1250, najstarsze wpisy na poczatku.",
    "# Wpisy starsze niz rok odchodza, a najstarsze takze wtedy, gdy plik przekroczylby 2 MB.",
};
// Order lists are cut into lines of about this many bytes.
constexpr size_t kListLineBytes = 100;

ImportHistory* gRun = nullptr;  // the import in progress (the host's one thread)

// "YYYY-MM-DD HH:MM:SS" of the local time now.
std::string nowText() {
  std::time_t now = std::time(nullptr);
  const std::tm* parts = std::localtime(&now);
  std::tm time = parts != nullptr ? *parts : std::tm{};
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.tm_year + 1900, time.tm_mon + 1, time.tm_mday,
                time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

// The text in Windows-1250, control bytes but the tab as blanks.
std::string historyText(const std::string& text, int32_t fromCode) {
  std::vector<char> converted(text.size() * 4 + 1);
  hostConvertText(converted.data(), static_cast<int32_t>(converted.size()), text.c_str(),
                  static_cast<int32_t>(text.size()), fromCode, host_abi::kCodeWindows1250);
  std::string line(converted.data());
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
  }
  return line;
}

std::string formatted(const char* format, va_list values) {
  char text[2048];
  std::vsnprintf(text, sizeof text, format, values);  // cut, never overrun
  return text;
}

// True when the line opens an entry: it starts with "YYYY-MM-DD HH:MM:SS".
bool opensEntry(const std::string& line, long& day) {
  if (line.size() < 19 || line[10] != ' ' || line[13] != ':' || line[16] != ':') return false;
  return dayNumber(line.substr(0, 10), day);
}

// The entry's lines: heading, what was noted, the order lists, the messages.
std::vector<std::string> entryLines(const ImportHistory& history) {
  std::vector<std::string> lines;
  lines.push_back(history.started + historyText(kImportHeading, host_abi::kCodeMazovia));
  for (const std::string& note : history.notes) lines.push_back("  " + note);
  for (const auto& list : history.orderLists) {
    std::string line =
        "  " + historyText(list.first, host_abi::kCodeMazovia) + " (" + std::to_string(list.second.size()) + "):";
    for (size_t i = 0; i < list.second.size(); ++i) {
      if (line.size() > kListLineBytes) {
        lines.push_back(line);
        line = "   ";
      }
      line += " " + historyText(list.second[i], host_abi::kCodeMazovia) + (i + 1 < list.second.size() ? "," : "");
    }
    lines.push_back(line);
  }
  for (const std::string& message : history.messages) {
    size_t start = 0;
    std::string label = kMessageLabel;
    for (;;) {
      size_t end = message.find('\n', start);
      lines.push_back(label + historyText(message.substr(start, end - start), host_abi::kCodeMazovia));
      if (end == std::string::npos) break;
      start = end + 1;
      label = "    ";
    }
  }
  lines.push_back(kEndLabel + nowText().substr(11));
  return lines;
}

// Adds the entry to the file under the history's lock.
bool appendEntry(const std::vector<std::string>& entry) {
  std::string path = workingFilePath(kImportHistoryName);
  std::string lockPath = workingFilePath(kImportHistoryLockName);
  bool written = false;
  if (!path.empty() && !lockPath.empty()) {
    FileLock lock{-1, 0};
    waitLockFile(lockPath.c_str(), lock);
    std::vector<std::string> old;
    std::string cause;
    // A history that is there but cannot be read is left as it is.
    if (readKeptFile(path, old, cause) != KeptRead::Unreadable) {
      written = writeKeptLines(path, boundedHistory(old, entry, todayText(), kImportHistoryBytes));
    }
    unlockFile(lock);
  }
  if (!written) showMessage(kHistoryNotSaved, path.empty() ? kImportHistoryName : path.c_str());
  return written;
}

}  // namespace

void startImportHistory(ImportHistory& history) {
  history = ImportHistory{};
  history.started = nowText();
  gRun = &history;
  keepShownMessages(&history.messages);
}

bool endImportHistory(ImportHistory& history) {
  keepShownMessages(nullptr);
  if (gRun == &history) gRun = nullptr;
  return appendEntry(entryLines(history));
}

void noteInHistory(const char* format, ...) {
  if (gRun == nullptr) return;
  va_list values;
  va_start(values, format);
  std::string text = formatted(format, values);
  va_end(values);
  gRun->notes.push_back(historyText(text, host_abi::kCodeMazovia));
}

void noteOrderInHistory(const char* heading, const std::string& order) {
  if (gRun == nullptr) return;
  for (auto& list : gRun->orderLists) {
    if (list.first == heading) {
      list.second.push_back(order);
      return;
    }
  }
  gRun->orderLists.emplace_back(heading, std::vector<std::string>{order});
}

void noteOrdersInHistory(const char* heading, const std::vector<std::string>& orders) {
  for (const std::string& order : orders) noteOrderInHistory(heading, order);
}

void noteStatusInHistory(const char* label, int32_t id, const char* name, size_t nameCapacity) {
  if (gRun == nullptr) return;
  size_t length = 0;
  while (name != nullptr && length < nameCapacity && name[length] != '\0') ++length;
  gRun->notes.push_back(historyText(label, host_abi::kCodeMazovia) + ": " +
                        historyText(std::string(name != nullptr ? name : "", length), host_abi::kCodeUtf8) + " (id " +
                        std::to_string(id) + ")");
}

bool addHistoryLine(const char* format, ...) {
  va_list values;
  va_start(values, format);
  std::string text = historyText(formatted(format, values), host_abi::kCodeMazovia);
  va_end(values);
  if (gRun != nullptr) {
    gRun->notes.push_back(text);
    return true;
  }
  return appendEntry({nowText() + " " + text});
}

std::vector<std::string> boundedHistory(const std::vector<std::string>& old, const std::vector<std::string>& entry,
                                        const std::string& today, size_t maxBytes) {
  // The entries read: where each starts, its day (-1: undated) and size.
  struct Span {
    size_t first;
    size_t count;
    long day;
    size_t bytes;
  };
  std::vector<Span> spans;
  for (size_t i = 0; i < old.size(); ++i) {
    const std::string& line = old[i];
    long day = -1;
    bool opens = opensEntry(line, day);
    if (!opens && spans.empty() && (line.empty() || line[0] == '#')) continue;  // the comment at the top
    if (opens || spans.empty()) spans.push_back(Span{i, 0, opens ? day : -1, 0});
    spans.back().count = i - spans.back().first + 1;
    spans.back().bytes += line.size() + 2;
  }
  long todayNumber = 0;
  bool dated = dayNumber(today, todayNumber);
  size_t total = 0;
  for (const char* line : kHistoryHead) total += std::strlen(line) + 2;
  for (const std::string& line : entry) total += line.size() + 2;
  std::vector<bool> kept(spans.size(), true);
  for (size_t i = 0; i < spans.size(); ++i) {
    if (dated && spans[i].day >= 0 && todayNumber - spans[i].day > kImportHistoryDays) kept[i] = false;
    if (kept[i]) total += spans[i].bytes;
  }
  for (size_t i = 0; i < spans.size() && total > maxBytes; ++i) {
    if (!kept[i]) continue;
    kept[i] = false;
    total -= spans[i].bytes;
  }
  std::vector<std::string> lines(std::begin(kHistoryHead), std::end(kHistoryHead));
  for (size_t i = 0; i < spans.size(); ++i) {
    if (kept[i]) lines.insert(lines.end(), old.begin() + spans[i].first, old.begin() + spans[i].first + spans[i].count);
  }
  lines.insert(lines.end(), entry.begin(), entry.end());
  return lines;
}
