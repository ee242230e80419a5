// The four requests of the order service: each builds its body, posts it
// through the host's HTTP function and hands back (or releases) the reply.
#include "service/service_requests.h"

#include <cstdio>
#include <cstdlib>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"
#include "service/invoice_number.h"
#include "service/request_body.h"

namespace {

constexpr char kFormHeader[] = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr char kFetchingOrdersNotice[] = "Pobieranie zamowien z API";
constexpr char kChangingStatusNotice[] = "Trwa zmiana statusu zamowienia na platformie Marketgate";

// Posts a finished body to the session's endpoint, naming replyFile to the
// host; *reply receives the reply text (host memory), *httpStatus (when
// given) what the HTTP function returned. 1 unless the host's HTTP function
// reported failure, whose cause then goes into outcome (when given).
int postServiceRequest(const ApiSession& session, const char* replyFile, const RequestBody& body, char** reply,
                       int32_t* httpStatus = nullptr, RequestOutcome* outcome = nullptr) {
  char headers[1024];
  std::snprintf(headers, sizeof headers, "%s", kFormHeader);
  char hostPath[520];
  hostConvertPath(hostPath, sizeof hostPath, replyFile, -1, hostConversionSetting(), host_abi::kCodePath);
  char auxBuffer[1024] = {};
  uint32_t auxValue = 0;
  int32_t result = hostHttpRequest(session.host, session.path, hostPath, headers, body.text, auxBuffer,
                                   sizeof auxBuffer - 1, &auxValue, reply);
  if (httpStatus != nullptr) *httpStatus = result;
  if (outcome != nullptr) {
    clearRequestOutcome(*outcome);
    if (result == -1) noteHttpFailure(*outcome, auxValue);
  }
  return result == -1 ? 0 : 1;
}

// The standard decimal reading of an order id text (leading blanks and a sign
// accepted, stops at the first non-digit, 0 without digits), kept within
// the 32-bit range.
int32_t orderIdNumber(const char* text) {
  if (text == nullptr) return 0;
  long long value = std::strtoll(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// The service took the change: HTTP 200 and a JSON object whose "status" is
// "SUCCESS". A cut or unreadable answer does not count (the order may have
// moved, and setting the same status again is harmless).
bool statusChangeAccepted(int32_t httpStatus, const char* reply) {
  return httpStatus == 200 && serviceSucceeded(reply);
}

}  // namespace

int requestOrderStatusList(const ApiSession& session, char** reply, RequestOutcome* outcome) {
  RequestBody body;
  startRequestBody(body, session, "getOrderStatusList");
  return postServiceRequest(session, session.replyFile, body, reply, nullptr, outcome);
}

int requestOrders(const ApiSession& session, int32_t statusId, char** reply, int32_t dateConfirmedFrom,
                  const char* progress, RequestOutcome* outcome) {
  char notice[200];
  std::snprintf(notice, sizeof notice, progress != nullptr ? "%s\n%s" : "%s", kFetchingOrdersNotice, progress);
  showWaitNotice(notice);
  RequestBody body;
  startRequestBody(body, session, "getOrders");
  if (statusId > 0) {
    appendToBody(body, "&parameters={");
    appendToBody(body, "%%22status_id%%22: %d", statusId);
    if (dateConfirmedFrom > 0) {
      appendToBody(body, ", ");
      appendToBody(body, "%%22date_confirmed_from%%22: %ld", static_cast<long>(dateConfirmedFrom));
    }
    appendToBody(body, "}");
  }
  int result = postServiceRequest(session, session.replyFile, body, reply, nullptr, outcome);
  removeWaitNotice();
  return result;
}

int requestInvoiceNumber(const ApiSession& session, char* number, size_t capacity, double orderId,
                         InvoiceLookup* lookup) {
  if (number != nullptr && capacity > 0) number[0] = '\0';
  char* reply = nullptr;
  RequestBody body;
  startRequestBody(body, session, "getInvoices");
  if (orderId > 0) {  // false for a NaN
    appendToBody(body, "&parameters={");
    appendToBody(body, "%%22order_id%%22: %.0f", orderId);
    appendToBody(body, "}");
  }
  int32_t httpStatus = -1;
  RequestOutcome outcome;
  int result = postServiceRequest(session, session.invoiceReplyFile, body, &reply, &httpStatus, &outcome);
  bool readable = takeInvoiceNumber(reply, number, capacity);
  if (reply != nullptr) hostRelease(reply);
  if (lookup != nullptr) {
    if (outcome.fault == RequestFault::unreachable) {
      *lookup = InvoiceLookup::unanswered;
    } else {
      *lookup = result != 0 && httpStatus == 200 && readable ? InvoiceLookup::answered : InvoiceLookup::failed;
    }
  }
  return result;
}

int requestSetOrderStatus(const ApiSession& session, int32_t statusId, const char* orderIdText, bool* accepted,
                          RequestOutcome* outcome) {
  showWaitNotice(kChangingStatusNotice);
  int32_t orderId = orderIdNumber(orderIdText);
  RequestBody body;
  startRequestBody(body, session, "setOrderStatus");
  if (statusId > 0 || orderId > 0) {
    appendToBody(body, "&parameters={");
    if (orderId > 0) appendToBody(body, "%%22order_id%%22: %d", orderId);
    if (orderId > 0 && statusId > 0) appendToBody(body, ", ");
    if (statusId > 0) appendToBody(body, "%%22status_id%%22: %d", statusId);
    appendToBody(body, "}");
  }
  char* reply = nullptr;
  int32_t httpStatus = -1;
  int result = postServiceRequest(session, session.replyFile, body, &reply, &httpStatus, outcome);
  if (accepted != nullptr) *accepted = result != 0 && statusChangeAccepted(httpStatus, reply);
  if (reply != nullptr) hostRelease(reply);
  removeWaitNotice();
  return result;
}
