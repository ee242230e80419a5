// The note of taken-over orders (see taken_over_note.h). Lines:
// "ORDER INCOMING_STATUS", then "przekazanie" once the hand-off begins.
#include "import/taken_over_note.h"

#include <cerrno>

#include "platform/kept_files.h"
#include "service/kept_text_file.h"

namespace {

constexpr char kHandOffLine[] = "przekazanie";

bool isOrderNumber(const char* text) {
  if (text[0] == '\0') return false;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
  }
  return true;
}

// True when the file's last byte ends a line: a last line cut short by a
// failed write or a crash names no order.
bool endsWithLineEnd(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bool ends = std::fseek(file, -1, SEEK_END) == 0 && std::fgetc(file) == '\n';
  std::fclose(file);
  return ends;
}

bool failed(TakenOverNote& note) {
  note.systemError = errno;
  return false;
}

}  // namespace

bool startTakenOverNote(TakenOverNote& note) {
  note = TakenOverNote{};
  note.path = workingFilePath(kTakenOverName);
  if (note.path.empty()) return false;
  errno = 0;
  note.file = std::fopen(note.path.c_str(), "w");
  return note.file != nullptr || failed(note);
}

bool noteTakenOver(TakenOverNote& note, const char* order, int32_t incomingStatusId) {
  if (note.file == nullptr) return false;
  errno = 0;
  if (std::fprintf(note.file, "%s %ld\n", order, static_cast<long>(incomingStatusId)) < 0) return failed(note);
  // A line for an order that will not move may wait for the hand-off's flush.
  if (incomingStatusId != 0 && !flushToDisk(note.file)) return failed(note);
  return true;
}

bool noteHandOffBegun(TakenOverNote& note) {
  if (note.file == nullptr) return false;
  errno = 0;
  if (std::fflush(note.file) != 0) return failed(note);
  note.beforeHandOff = std::ftell(note.file);
  if (note.beforeHandOff < 0) return failed(note);
  if (std::fprintf(note.file, "%s\n", kHandOffLine) < 0 || !flushToDisk(note.file)) return failed(note);
  return true;
}

bool withdrawHandOff(TakenOverNote& note) {
  if (note.beforeHandOff < 0) return true;
  if (note.file == nullptr || !cutFileToDisk(note.file, note.beforeHandOff)) return false;
  note.beforeHandOff = -1;
  return true;
}

void retireTakenOverNote(TakenOverNote& note) {
  keepTakenOverNote(note);
  std::remove(note.path.c_str());
}

void keepTakenOverNote(TakenOverNote& note) {
  if (note.file != nullptr) std::fclose(note.file);
  note.file = nullptr;
}

LeftNote readLeftNote() {
  LeftNote left;
  std::string path = workingFilePath(kTakenOverName);
  std::vector<std::string> lines;
  if (path.empty() || !readKeptLines(path, lines)) return left;
  left.found = true;
  if (!lines.empty() && !endsWithLineEnd(path)) lines.pop_back();
  for (const std::string& line : lines) {
    if (line == kHandOffLine) {
      left.handOffBegun = true;
      continue;
    }
    char order[32];
    long statusId = -1;
    int end = 0;
    if (std::sscanf(line.c_str(), "%31s %ld%n", order, &statusId, &end) != 2) continue;
    if (static_cast<size_t>(end) != line.size() || !isOrderNumber(order) || statusId < 0) continue;
    left.orders.push_back(NotedOrder{order, static_cast<int32_t>(statusId)});
  }
  return left;
}

void removeLeftNote() {
  std::string path = workingFilePath(kTakenOverName);
  if (!path.empty()) std::remove(path.c_str());
}
