// The status changes an earlier import or a handled document could not make
// on the service, repeated by the next import before its first page.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "service/api_session.h"

struct PushRetryOutcome {
  uint32_t stillWaiting;                    // changes that failed again (or were not tried) and wait
  std::vector<std::string> givenUp;         // orders whose change failed for the last time
  std::unordered_set<std::string> waiting;  // orders in the journal after the retries
};

// Repeats every waiting change; a change kept without a status gets
// outgoingStatusId (nothing is sent for it when that is 0). After the first
// change the service does not answer at all, the rest wait for the next
// import untried.
void retryPendingPushes(const ApiSession& session, int32_t outgoingStatusId, PushRetryOutcome& outcome);
