// Repeating the waiting status changes (see pending_push_retry.h).
#include "import/pending_push_retry.h"

#include "service/import_history.h"
#include "service/push_journal.h"
#include "service/service_requests.h"

void retryPendingPushes(const ApiSession& session, int32_t outgoingStatusId, PushRetryOutcome& outcome) {
  outcome = PushRetryOutcome{};
  std::vector<PendingPush> pending = pendingPushes();
  if (pending.empty()) return;
  std::vector<RetriedPush> retried;
  bool reachable = true;
  for (const PendingPush& entry : pending) {
    RetriedPush push{entry, false, false};
    int32_t statusId = entry.statusId != 0 ? entry.statusId : outgoingStatusId;
    if (reachable && statusId > 0) {
      push.attempted = true;
      reachable = requestSetOrderStatus(session, statusId, entry.order.c_str(), &push.moved) != 0;
    }
    retried.push_back(push);
  }
  std::vector<PendingPush> givenUp;
  settleRetriedPushes(retried, givenUp);
  for (const RetriedPush& push : retried) {
    if (push.moved) noteOrderInHistory(kHistoryPushMoved, push.entry.order);
  }
  for (const PendingPush& entry : givenUp) outcome.givenUp.push_back(entry.order);
  noteOrdersInHistory(kHistoryPushGivenUp, outcome.givenUp);
  for (const PendingPush& entry : pendingPushes()) {
    outcome.waiting.insert(entry.order);
    noteOrderInHistory(kHistoryPushWaiting, entry.order);
  }
  outcome.stillWaiting = static_cast<uint32_t>(outcome.waiting.size());
}
