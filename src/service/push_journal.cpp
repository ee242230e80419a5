// The journal of status changes to repeat (see push_journal.h). Every
// access reads, changes and replaces the file whole under the journal's lock.
#include "service/push_journal.h"

#include <cstdio>
#include <functional>

#include "platform/file_lock.h"
#include "platform/kept_files.h"
#include "service/kept_text_file.h"
#include "service/user_message.h"

namespace {

constexpr char kJournalNotSaved[] =
    "Nie uda\x92o si\x91 zapisa\x8D pliku %s. Zmiana statusu zam\xA2wienia %s w Marketgate nie zostanie ponowiona.";

const char* const kJournalHead[] = {
    "# Marketgate: zmiany statusu zamowien do powtorzenia przy nastepnym imporcie",
    "# numer zamowienia, id statusu, data pierwszej proby, nieudane powtorzenia",
};

bool isOrderNumber(const std::string& text) {
  if (text.empty() || text.size() > 20) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// One entry of a line "ORDER STATUS DATE FAILURES"; false when the line is not one.
bool parseEntry(const std::string& line, PendingPush& entry) {
  char order[32], since[16];
  int statusId = 0, failures = 0, end = 0;
  if (std::sscanf(line.c_str(), "%31s %d %15s %d%n", order, &statusId, since, &failures, &end) != 4) return false;
  if (static_cast<size_t>(end) != line.size() || statusId < 0 || failures < 0) return false;
  long day = 0;
  if (!isOrderNumber(order) || !dayNumber(since, day)) return false;
  entry = PendingPush{order, statusId, since, failures};
  return true;
}

std::string entryLine(const PendingPush& entry) {
  return entry.order + " " + std::to_string(entry.statusId) + " " + entry.since + " " +
         std::to_string(entry.failures);
}

bool writeJournal(const std::string& path, const std::vector<PendingPush>& entries) {
  if (entries.empty()) {
    std::remove(path.c_str());
    return true;
  }
  std::vector<std::string> lines(std::begin(kJournalHead), std::end(kJournalHead));
  for (const PendingPush& entry : entries) lines.push_back(entryLine(entry));
  return writeKeptLines(path, lines);
}

// Reads the journal; a damaged one is set aside, the user told, and what
// could be read written anew.
std::vector<PendingPush> readJournal(const std::string& path) {
  std::vector<PendingPush> entries;
  std::vector<std::string> lines;
  if (!readKeptLines(path, lines)) return entries;
  bool damaged = false;
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == '#') continue;
    PendingPush entry;
    if (parseEntry(line, entry)) {
      entries.push_back(entry);
    } else {
      damaged = true;
    }
  }
  if (damaged) {
    setDamagedFileAside(path, entries.size());
    writeJournal(path, entries);
  }
  return entries;
}

// Runs change on the journal's entries under the lock; writes them back when
// change says they changed. false when writing failed.
bool updateJournal(const std::function<bool(std::vector<PendingPush>&)>& change) {
  std::string path = workingFilePath(kPushJournalName);
  std::string lockPath = workingFilePath(kPushJournalLockName);
  if (path.empty() || lockPath.empty()) return false;
  FileLock lock{-1};
  waitLockFile(lockPath.c_str(), lock);
  std::vector<PendingPush> entries = readJournal(path);
  bool written = true;
  if (change(entries)) written = writeJournal(path, entries);
  unlockFile(lock);
  return written;
}

std::vector<PendingPush>::iterator findOrder(std::vector<PendingPush>& entries, const std::string& order) {
  for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
    if (entry->order == order) return entry;
  }
  return entries.end();
}

bool journalExists() {
  std::string path = workingFilePath(kPushJournalName);
  return !path.empty() && pathExists(path.c_str());
}

}  // namespace

std::vector<PendingPush> pendingPushes() {
  std::vector<PendingPush> found;
  if (!journalExists()) return found;  // the usual case: nothing waits
  updateJournal([&found](std::vector<PendingPush>& entries) {
    found = entries;
    return false;
  });
  return found;
}

bool keepFailedPush(const char* order, int32_t statusId) {
  if (order == nullptr || !isOrderNumber(order)) return false;
  bool kept = updateJournal([&](std::vector<PendingPush>& entries) {
    auto older = findOrder(entries, order);
    if (older != entries.end()) entries.erase(older);
    entries.push_back(PendingPush{order, statusId < 0 ? 0 : statusId, todayText(), 0});
    return true;
  });
  if (!kept) showMessage(kJournalNotSaved, workingFilePath(kPushJournalName).c_str(), order);
  return kept;
}

void forgetPendingPush(const char* order) {
  if (order == nullptr || !journalExists()) return;
  updateJournal([order](std::vector<PendingPush>& entries) {
    auto entry = findOrder(entries, order);
    if (entry == entries.end()) return false;
    entries.erase(entry);
    return true;
  });
}

void settleRetriedPushes(const std::vector<RetriedPush>& retried, std::vector<PendingPush>& givenUp) {
  updateJournal([&](std::vector<PendingPush>& entries) {
    bool changed = false;
    for (const RetriedPush& push : retried) {
      if (!push.attempted) continue;
      auto entry = findOrder(entries, push.entry.order);
      if (entry == entries.end() || entry->statusId != push.entry.statusId) continue;
      changed = true;
      if (!push.moved && ++entry->failures < kPushRetryLimit) continue;
      if (!push.moved) givenUp.push_back(*entry);
      entries.erase(entry);
    }
    return changed;
  });
}
