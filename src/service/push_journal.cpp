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

constexpr char kJournalUnusableNotKept[] =
    "Nie uda\x92o si\x91 zmieni\x8D statusu zam\xA2wienia %s w Marketgate, a tej zmiany nie mo\xA7na zapisa\x8D do "
    "ponowienia: nie mo\xA7na u\xA7y\x8D pliku %s (%s). Zmie\xA4 status tego zam\xA2wienia r\x91"
    "cznie.";
constexpr char kJournalUnusableNotForgotten[] =
    "Status zam\xA2wienia %s w Marketgate zmieniono, ale nie mo\xA7na u\xA7y\x8D pliku %s (%s). Je\xA7"
    "eli czeka w "
    "nim starsza zmiana statusu tego zam\xA2wienia, usu\xA4 z niego jej wiersz, zanim uruchomisz import: inaczej "
    "import j\x86 powt\xA2rzy.";

bool isOrderNumber(const std::string& text) { return isJournalOrderNumber(text); }

const char* const kJournalHead[] = {
    "# Marketgate: zmiany statusu zamowien do powtorzenia przy nastepnym imporcie",
    "# numer zamowienia, id statusu, data pierwszej proby, nieudane powtorzenia",
};

bool writeJournal(const std::string& path, const std::vector<PendingPush>& entries) {
  if (entries.empty()) return std::remove(path.c_str()) == 0 || !pathExists(path.c_str());
  std::vector<std::string> lines(std::begin(kJournalHead), std::end(kJournalHead));
  for (const PendingPush& entry : entries) lines.push_back(journalLine(entry));
  return writeKeptLines(path, lines);
}

// What became of a journal access.
struct JournalAccess {
  bool usable;        // read (or absent) under its lock
  bool written;       // and, where it changed, written back
  std::string path;   // when not usable: the file that could not be used
  std::string cause;  // and why
};

// Reads the journal; a damaged one is set aside, the user told, and what
// could be read written anew. false (path and cause filled) when it exists
// but cannot be read: it must then not be written over.
bool readJournal(const std::string& path, std::vector<PendingPush>& entries, JournalAccess& access) {
  entries.clear();
  std::vector<std::string> lines;
  std::string cause;
  KeptRead read = readKeptFile(path, lines, cause);
  if (read == KeptRead::Unreadable) {
    access.path = path;
    access.cause = cause;
    return false;
  }
  if (parseJournalLines(lines, entries) > 0) {
    setDamagedFileAside(path, entries.size());
    writeJournal(path, entries);
  }
  return true;
}

// Runs change on the journal's entries under the lock; writes them back when
// change says they changed. Nothing is read or written without the lock.
// true when the journal was used and, where it changed, written; access
// (when given) tells which.
bool updateJournal(const std::function<bool(std::vector<PendingPush>&)>& change, JournalAccess* access = nullptr) {
  JournalAccess done{false, false, std::string(), std::string()};
  std::string path = workingFilePath(kPushJournalName);
  std::string lockPath = workingFilePath(kPushJournalLockName);
  FileLock lock{-1, 0};
  if (path.empty() || lockPath.empty()) {
    // no place for the journal: nothing can be kept
  } else if (waitLockFile(lockPath.c_str(), lock) != LockResult::Taken) {
    done.path = lockPath;
    done.cause = keptFileCause(lockPath, lock.error);
  } else {
    std::vector<PendingPush> entries;
    if (readJournal(path, entries, done)) {
      done.usable = true;
      done.written = !change(entries) || writeJournal(path, entries);
    }
    unlockFile(lock);
  }
  if (access != nullptr) *access = done;
  return done.usable && done.written;
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
  JournalAccess access{};
  bool kept = updateJournal(
      [&](std::vector<PendingPush>& entries) {
        auto older = findOrder(entries, order);
        if (older != entries.end()) entries.erase(older);
        entries.push_back(PendingPush{order, statusId < 0 ? 0 : statusId, todayText(), 0});
        return true;
      },
      &access);
  if (kept) return true;
  if (!access.cause.empty()) {
    showMessage(kJournalUnusableNotKept, order, access.path.c_str(), access.cause.c_str());
  } else {
    showMessage(kJournalNotSaved, workingFilePath(kPushJournalName).c_str(), order);
  }
  return false;
}

bool keepStatusChanges(const std::vector<std::pair<std::string, int32_t>>& changes) {
  if (changes.empty()) return true;
  return updateJournal([&](std::vector<PendingPush>& entries) {
    for (const auto& change : changes) {
      if (!isOrderNumber(change.first)) continue;
      auto older = findOrder(entries, change.first);
      if (older != entries.end()) entries.erase(older);
      entries.push_back(PendingPush{change.first, change.second < 0 ? 0 : change.second, todayText(), 0});
    }
    return true;
  });
}

void forgetPendingPush(const char* order) {
  if (order == nullptr || !journalExists()) return;
  JournalAccess access{};
  updateJournal(
      [order](std::vector<PendingPush>& entries) {
        auto entry = findOrder(entries, order);
        if (entry == entries.end()) return false;
        entries.erase(entry);
        return true;
      },
      &access);
  if (!access.cause.empty())
    showMessage(kJournalUnusableNotForgotten, order, access.path.c_str(), access.cause.c_str());
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
