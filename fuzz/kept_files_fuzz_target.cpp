// Fuzz target of the readers of the files the plug-in keeps: the input is
// the bytes of a register, of a journal and of a note of taken-over orders. The lines must be split as the
// bytes say (a NUL is a byte like any other), every entry read must give
// its own line back when written and read again, and a damaged line must
// cost that line alone: a good entry after the input, on a line of its
// own, is read, and one before it changes nothing the input says. The
// bytes are also read from a file, which must give the same lines.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

#include "import/booked_orders.h"
#include "import/taken_over_note.h"
#include "service/kept_file_reading.h"
#include "service/push_journal.h"

namespace {

[[noreturn]] void stop(const char* what, const std::string& input) {
  std::string shown;
  for (unsigned char c : input.substr(0, 400)) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
    shown += escaped;
  }
  std::fprintf(stderr, "kept files fuzz target: %s\n%s\n", what, shown.c_str());
  std::abort();
}

std::vector<std::string> linesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  splitKeptLines(bytes.data(), bytes.size(), lines);
  return lines;
}

// The lines put back together: each ended by "\n" but a last one the bytes
// left without it, a CR before a line's end dropped.
void checkSplit(const std::string& bytes, const std::vector<std::string>& lines) {
  std::string expected;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    expected += line + '\x01';
    start = end + 1;
  }
  std::string got;
  for (const std::string& line : lines) got += line + '\x01';
  if (got != expected) stop("the lines are not the bytes' lines", bytes);
}

void checkRegister(const std::string& bytes, const std::vector<std::string>& lines) {
  std::unordered_map<std::string, BookedOrder> orders;
  size_t damaged = parseRegisterLines(lines, orders);
  size_t counted = 0;
  for (const std::string& line : lines) counted += !line.empty() && line[0] != '#';
  if (damaged + orders.size() > counted) stop("register: lines miscounted", bytes);
  for (const auto& entry : orders) {
    std::string order;
    BookedOrder again;
    if (!parseRegisterLine(registerLine(entry.first, entry.second), order, again) || order != entry.first ||
        again.booked != entry.second.booked || again.met != entry.second.met) {
      stop("register: an entry does not read back from its own line", bytes);
    }
  }
  const std::string good = "123456789012 2026-03-04 2026-05-06";
  std::unordered_map<std::string, BookedOrder> after;
  size_t damagedAfter = parseRegisterLines(linesOf(bytes + "\n" + good + "\n"), after);
  auto found = after.find("123456789012");
  if (damagedAfter != damaged || found == after.end() || found->second.met != "2026-05-06") {
    stop("register: a good entry after the input was lost", bytes);
  }
  std::unordered_map<std::string, BookedOrder> before;
  size_t damagedBefore = parseRegisterLines(linesOf(good + "\n" + bytes), before);
  if (damagedBefore != damaged || before.size() < orders.size())
    stop("register: a good entry before the input changed it", bytes);
  for (const auto& entry : orders) {
    auto same = before.find(entry.first);
    if (same == before.end() || same->second.booked != entry.second.booked) {
      stop("register: a good entry before the input changed it", bytes);
    }
  }
}

void checkJournal(const std::string& bytes, const std::vector<std::string>& lines) {
  std::vector<PendingPush> entries;
  size_t damaged = parseJournalLines(lines, entries);
  size_t counted = 0;
  for (const std::string& line : lines) counted += !line.empty() && line[0] != '#';
  if (damaged + entries.size() != counted) stop("journal: lines miscounted", bytes);
  for (const PendingPush& entry : entries) {
    PendingPush again{};
    if (!parseJournalLine(journalLine(entry), again) || again.order != entry.order ||
        again.statusId != entry.statusId || again.since != entry.since || again.failures != entry.failures) {
      stop("journal: an entry does not read back from its own line", bytes);
    }
  }
  std::vector<PendingPush> after;
  size_t damagedAfter = parseJournalLines(linesOf(bytes + "\n8001 103 2026-01-02 3\n"), after);
  if (damagedAfter != damaged || after.size() != entries.size() + 1 || after.back().order != "8001" ||
      after.back().failures != 3) {
    stop("journal: a good entry after the input was lost", bytes);
  }
  std::vector<PendingPush> before;
  size_t damagedBefore = parseJournalLines(linesOf("8001 103 2026-01-02 3\n" + bytes), before);
  if (damagedBefore != damaged || before.size() != entries.size() + 1) {
    stop("journal: a good entry before the input changed it", bytes);
  }
}

bool endsLine(const std::string& bytes) { return bytes.empty() || bytes.back() == '\n'; }

void checkNote(const std::string& bytes, const std::vector<std::string>& lines) {
  LeftNote left;
  size_t damaged = parseNoteLines(lines, endsLine(bytes), left);
  size_t counted = 0;
  for (const std::string& line : lines) counted += !line.empty();
  if (damaged + left.orders.size() > counted) stop("note: lines miscounted", bytes);
  for (const NotedOrder& noted : left.orders) {
    LeftNote again;
    std::string line = noted.order + " " + std::to_string(noted.incomingStatusId);
    if (parseNoteLines({line}, true, again) != 0 || again.orders.size() != 1 || again.orders[0].order != noted.order ||
        again.orders[0].incomingStatusId != noted.incomingStatusId) {
      stop("note: an order does not read back from its own line", bytes);
    }
  }
  // Every line ended, then a good one after them: it alone is added.
  LeftNote ended, after;
  size_t damagedEnded = parseNoteLines(linesOf(bytes + "\n"), true, ended);
  size_t damagedAfter = parseNoteLines(linesOf(bytes + "\n8001 101\n"), true, after);
  if (damagedAfter != damagedEnded || after.orders.size() != ended.orders.size() + 1 ||
      after.orders.back().order != "8001" || after.orders.back().incomingStatusId != 101) {
    stop("note: a good line after the input was lost", bytes);
  }
  LeftNote before;
  size_t damagedBefore = parseNoteLines(linesOf("8001 101\n" + bytes), endsLine(bytes), before);
  if (damagedBefore != damaged || before.orders.size() != left.orders.size() + 1 ||
      before.handOffBegun != left.handOffBegun) {
    stop("note: a good line before the input changed it", bytes);
  }
}

// The same bytes from a file read as the plug-in reads its kept files.
void checkFile(const std::string& bytes, const std::vector<std::string>& lines) {
  static const std::string path = [] {
#if defined(_WIN32)
    const char* directory = std::getenv("TEMP");
    long process = _getpid();
#else
    const char* directory = std::getenv("TMPDIR");
    long process = getpid();
#endif
    return std::string(directory != nullptr && directory[0] != '\0' ? directory : "/tmp") + "/mg-kept-fuzz-" +
           std::to_string(process) + ".txt";
  }();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;  // no place for it: the split alone is checked
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  written = std::fclose(file) == 0 && written;
  std::vector<std::string> read;
  std::string cause;
  bool lastLineEnded = false;
  KeptRead result = readKeptFile(path, read, cause, &lastLineEnded);
  std::remove(path.c_str());
  if (!written) return;
  if (result != KeptRead::Read || read != lines || lastLineEnded != endsLine(bytes)) {
    stop("the file does not read as its bytes split", bytes);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = linesOf(bytes);
  checkSplit(bytes, lines);
  checkRegister(bytes, lines);
  checkJournal(bytes, lines);
  checkNote(bytes, lines);
  checkFile(bytes, lines);
  return 0;
}
