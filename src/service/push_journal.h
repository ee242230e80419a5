// The journal of status changes the service did not take: which order is to
// get which status, since when, and how many repetitions failed. An import
// repeats them before its first page; a change leaves the journal when it
// succeeds, or is given up after kPushRetryLimit failed repetitions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// In the host's working directory; a person can read it (one change a line:
// order number, status id, date of the first failure, failed repetitions).
constexpr char kPushJournalName[] = "marketgate-statusy.txt";
// Held while the journal is read and replaced, by an import and by a push
// of a handled document alike.
constexpr char kPushJournalLockName[] = "marketgate-statusy.lock";
constexpr int kPushRetryLimit = 10;

struct PendingPush {
  std::string order;  // decimal text
  int32_t statusId;   // 0: the status chosen as outgoing when it is repeated
  std::string since;  // "YYYY-MM-DD"
  int failures;       // failed repetitions
};

// What became of one repeated change.
struct RetriedPush {
  PendingPush entry;
  bool attempted;
  bool moved;
};

// True when the text is an order number as the journal keeps it (1 to 20 digits).
bool isJournalOrderNumber(const std::string& text);
// One change of a journal line; false when the line is not one.
bool parseJournalLine(const std::string& line, PendingPush& entry);
// The changes of the journal's lines, read in order; the number of lines
// that are no change (comments and empty lines are none of them).
size_t parseJournalLines(const std::vector<std::string>& lines, std::vector<PendingPush>& entries);
// The change as the journal's line.
std::string journalLine(const PendingPush& entry);

// The changes waiting; a damaged journal is reported, set aside and its
// readable entries kept. None when the journal cannot be read (an import
// checks that before it starts) and then it is left as it is.
std::vector<PendingPush> pendingPushes();
// Keeps a change that failed, in place of an older one of the same order;
// false (the user told) when the journal or its lock could not be used or
// the journal could not be written.
bool keepFailedPush(const char* order, int32_t statusId);
// Keeps the changes (order, status) in one write of the journal, each in
// place of an older one of its order; false when the journal could not be
// used or written (nothing is told: the caller says what that means).
bool keepStatusChanges(const std::vector<std::pair<std::string, int32_t>>& changes);
// The order's change went through: an older waiting one must not undo it
// (the user told when the journal cannot be used to make sure).
void forgetPendingPush(const char* order);
// Moved changes leave; failed ones count a failure and those that reach the
// limit leave too, handed back in givenUp. A change replaced meanwhile is
// left alone.
void settleRetriedPushes(const std::vector<RetriedPush>& retried, std::vector<PendingPush>& givenUp);
