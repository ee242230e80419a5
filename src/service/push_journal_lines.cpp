// The journal's lines (see push_journal.h): "ORDER STATUS SINCE FAILURES".
// Nothing here touches a file or calls the host.
#include <cstdio>

#include "service/kept_file_reading.h"
#include "service/push_journal.h"

bool isJournalOrderNumber(const std::string& text) {
  if (text.empty() || text.size() > 20) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool parseJournalLine(const std::string& line, PendingPush& entry) {
  char order[32], since[16];
  int statusId = 0, failures = 0, end = 0;
  if (std::sscanf(line.c_str(), "%31s %d %15s %d%n", order, &statusId, since, &failures, &end) != 4) return false;
  if (static_cast<size_t>(end) != line.size() || statusId < 0 || failures < 0) return false;
  long day = 0;
  if (!isJournalOrderNumber(order) || !dayNumber(since, day)) return false;
  entry = PendingPush{order, statusId, since, failures};
  return true;
}

size_t parseJournalLines(const std::vector<std::string>& lines, std::vector<PendingPush>& entries) {
  size_t damaged = 0;
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == '#') continue;
    PendingPush entry;
    if (parseJournalLine(line, entry)) {
      entries.push_back(entry);
    } else {
      ++damaged;
    }
  }
  return damaged;
}

std::string journalLine(const PendingPush& entry) {
  return entry.order + " " + std::to_string(entry.statusId) + " " + entry.since + " " + std::to_string(entry.failures);
}
