// The note of taken-over orders (see taken_over_note.h). Lines:
// "ORDER INCOMING_STATUS", then "przekazanie" once the hand-off begins.
#include "import/taken_over_note.h"

#include <cerrno>

#include "platform/kept_files.h"
#include "service/kept_text_file.h"
#include "service/user_message.h"

namespace {

constexpr char kDamagedNote[] =
    "Plik %s by\x92 uszkodzony. Przeniesiono go do %s; zachowano odczytane z niego wpisy: %u. Wierszy, kt\xA2rych "
    "nie da\x92o si\x91 odczyta\x8D: %u. Je\x9Eli by\x92y w\x9Er\xA2"
    "d nich zam\xA2wienia, mog\x92y one przej\x9E\x8D w "
    "Marketgate na kolejny status bez zaimportowania i nie zostan\x86 pobrane ponownie, dop\xA2ki nie przywr\xA2"
    "cisz "
    "im r\x91"
    "cznie poprzedniego statusu.";

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
  if (path.empty()) return left;
  std::vector<std::string> lines;
  bool lastLineEnded = true;
  KeptRead read = readKeptFile(path, lines, left.unreadable, &lastLineEnded);
  if (read == KeptRead::Missing) return left;
  left.found = true;
  if (read == KeptRead::Read) left.damaged = parseNoteLines(lines, lastLineEnded, left);
  return left;
}

void removeLeftNote(const LeftNote& left) {
  std::string path = workingFilePath(kTakenOverName);
  if (path.empty()) return;
  if (left.damaged == 0) {
    std::remove(path.c_str());
    return;
  }
  std::string aside = setFileAside(path);
  if (aside.empty()) std::remove(path.c_str());
  showMessage(kDamagedNote, path.c_str(), aside.empty() ? "-" : aside.c_str(),
              static_cast<unsigned>(left.orders.size()), static_cast<unsigned>(left.damaged));
}
