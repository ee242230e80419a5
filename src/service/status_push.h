// Pushing an order's status to the service when the order is taken over or
// its document handled in the host: the push itself and the three places
// through which the host's actions reach it.
#pragma once

#include <cstdint>

#include "platform/callconv.h"

// Results of a push.
constexpr int kPushMoved = 1;      // the service took the change
constexpr int kPushNotWanted = 0;  // nothing to send (equal positions, no order id)
constexpr int kPushFailed = -1;    // no usable status list, or the change not taken

// Moves the order (its id as decimal text) to the status chosen as outgoing;
// *statusId (when given) receives the status sent, 0 when none was;
// *unanswered (when given) whether a request of the push got no answer at all.
int pushOrderStatus(const char* orderIdText, int32_t* statusId = nullptr, bool* unanswered = nullptr);

// The push of a document handled in the host: a change the service did not
// take is kept for the next import and the user told in one message.
void pushHandledOrder(const char* orderIdText);

// Replacements of the "Tspr_dok" (45) and "Tspr" (44) table operations.
int32_t MG_STDCALL documentTableOperation(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                                          uintptr_t, uintptr_t, uintptr_t, uintptr_t);
int32_t MG_STDCALL listTableOperation(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                                      uintptr_t, uintptr_t, uintptr_t, uintptr_t);

// The handler registered under host code 2294.
int32_t MG_STDCALL documentEventHandler(uintptr_t first, uintptr_t second);
