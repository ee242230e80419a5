// The four requests of the order service, each an HTTP POST through the
// host: 1 when the host's HTTP function did not fail, 0 when it did.
#pragma once

#include <cstddef>
#include <cstdint>

#include "service/api_session.h"
#include "service/request_outcome.h"

// The caller owns *reply (host memory) and releases it with hostRelease.
// With outcome given, a failure of the host's HTTP function leaves its
// cause there. The wait notice of getOrders shows progress (Mazovia) as a
// second line when it is given.
int requestOrderStatusList(const ApiSession& session, char** reply, RequestOutcome* outcome = nullptr);
int requestOrders(const ApiSession& session, int32_t statusId, char** reply, int32_t dateConfirmedFrom,
                  const char* progress = nullptr, RequestOutcome* outcome = nullptr);

// How an invoice lookup went: answered (with a number or none), failed (an
// HTTP status other than 200, an answer that is no JSON object with an
// "invoices" array) or unanswered (no answer at all).
enum class InvoiceLookup { answered, failed, unanswered };

// Writes the first non-empty invoice number of the order into number (cut
// to capacity - 1 characters); empty when there is none. *lookup (when
// given) tells how the lookup went.
int requestInvoiceNumber(const ApiSession& session, char* number, size_t capacity, double orderId,
                         InvoiceLookup* lookup = nullptr);

// Moves the order (decimal text) to the status. *accepted (when given) tells
// whether the service took the change: HTTP 200 and a JSON object whose
// "status" is "SUCCESS". With outcome given, a failure of the host's HTTP
// function leaves its cause there.
int requestSetOrderStatus(const ApiSession& session, int32_t statusId, const char* orderIdText,
                          bool* accepted = nullptr, RequestOutcome* outcome = nullptr);
