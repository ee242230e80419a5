// The note of taken-over orders (see taken_over_note.h). Lines:
// "ORDER INCOMING_STATUS".
#include "import/taken_over_note.h"

#include <vector>

#include "platform/kept_files.h"
#include "service/kept_text_file.h"
#include "service/push_journal.h"

void startTakenOverNote(TakenOverNote& note) {
  note.path = workingFilePath(kTakenOverName);
  note.file = note.path.empty() ? nullptr : std::fopen(note.path.c_str(), "w");
}

void noteTakenOver(TakenOverNote& note, const char* order, int32_t incomingStatusId) {
  if (note.file == nullptr) return;
  std::fprintf(note.file, "%s %ld\n", order, static_cast<long>(incomingStatusId));
  std::fflush(note.file);  // in the system's hands before the order moves
}

void endTakenOverNote(TakenOverNote& note) {
  if (note.file == nullptr) return;
  std::fclose(note.file);
  note.file = nullptr;
  std::remove(note.path.c_str());
}

uint32_t sendBackInterruptedRun(const char* importFileName) {
  std::string path = workingFilePath(kTakenOverName);
  std::vector<std::string> lines;
  if (path.empty() || !readKeptLines(path, lines)) return 0;
  // The import file leaves its place only once the host took it, or set
  // aside after a refusal (its orders stay where they are): without it the
  // run ended after its hand-off, and nothing goes back.
  if (!regularFileExists(importFileName)) lines.clear();
  uint32_t sent = 0;
  for (const std::string& line : lines) {
    char order[32];
    long statusId = 0;
    if (std::sscanf(line.c_str(), "%31s %ld", order, &statusId) != 2 || statusId <= 0) continue;
    if (keepFailedPush(order, static_cast<int32_t>(statusId))) ++sent;
  }
  std::remove(path.c_str());
  return sent;
}
