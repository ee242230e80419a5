// Pushing an order to the outgoing status on the order service: fetch the
// service's statuses, find the chosen one in them and send setOrderStatus. Everything is made and released within the
// call.
#include "service/status_push.h"

#include "hostlink/host_services.h"
#include "service/api_session.h"
#include "service/import_history.h"
#include "service/push_journal.h"
#include "service/request_outcome.h"
#include "service/service_requests.h"
#include "service/user_message.h"
#include "settings/import_settings.h"
#include "settings/marketgate_status.h"
#include "settings/order_status_list.h"

namespace {

constexpr char kHandledPushFailed[] =
    "Nie uda\x92o si\x91 zmieni\x8D statusu zam\xA2wienia %s w Marketgate. Zmiana zostanie ponowiona przy "
    "nast\x91pnym imporcie.";

// The handled document's line of the import history.
constexpr char kHistoryPushKept[] =
    "Obs\x92u\xA7ony dokument: nie uda\x92o si\x91 zmieni\x8D statusu zam\xA2wienia %s w Marketgate; zmiana "
    "zostanie ponowiona przy nast\x91pnym imporcie.";
constexpr char kHistoryPushLost[] =
    "Obs\x92u\xA7ony dokument: nie uda\x92o si\x91 zmieni\x8D statusu zam\xA2wienia %s w Marketgate; zmiana "
    "nie zostanie ponowiona.";

// Fills the object's status list from the service; false when the service
// gave no list (*unanswered set when no answer came at all).
bool fetchStatusList(const ApiSession& session, MarketgateStatus& object, bool& unanswered) {
  char* reply = nullptr;
  RequestOutcome outcome;
  int sent = requestOrderStatusList(session, &reply, &outcome);
  unanswered = outcome.fault == RequestFault::unreachable;
  if (reply == nullptr) return false;
  if (sent) decodeOrderStatusList(object.statusList, reply);
  hostRelease(reply);
  return sent != 0;
}

// Sends the outgoing status unless the user wants no change. A chosen
// status the fetched list no longer holds (by its stored id), or a position
// outside it, sends nothing and fails.
int sendOutgoingStatus(const ApiSession& session, MarketgateStatus& object, const char* orderIdText, int32_t* statusId,
                       bool& unanswered) {
  loadSettings(object);
  const ImportSettings& settings = object.settings;
  if (settings.StatusWyPoz == kChosenStatusGone) return kPushFailed;
  if (settings.StatusWePoz == settings.StatusWyPoz) return kPushNotWanted;
  const OrderStatus* outgoing = statusAt(object.statusList, settings.StatusWyPoz);
  if (outgoing == nullptr) return kPushFailed;
  if (orderIdText == nullptr || orderIdText[0] == '\0') return kPushNotWanted;
  *statusId = outgoing->id;
  bool accepted = false;
  RequestOutcome outcome;
  requestSetOrderStatus(session, outgoing->id, orderIdText, &accepted, &outcome);
  unanswered = outcome.fault == RequestFault::unreachable;
  return accepted ? kPushMoved : kPushFailed;
}

}  // namespace

int pushOrderStatus(const char* orderIdText, int32_t* statusId, bool* unanswered) {
  int32_t wanted = 0;
  bool silent = false;
  MarketgateStatus object;
  constructMarketgateStatus(object);
  ApiSession session;
  openApiSession(session);
  int result = kPushFailed;
  if (fetchStatusList(session, object, silent)) {
    result = sendOutgoingStatus(session, object, orderIdText, &wanted, silent);
  }
  destroyMarketgateStatus(object);
  if (statusId != nullptr) *statusId = wanted;
  if (unanswered != nullptr) *unanswered = silent;
  return result;
}

void pushHandledOrder(const char* orderIdText) {
  int32_t statusId = 0;
  int result = pushOrderStatus(orderIdText, &statusId);
  if (result == kPushMoved) forgetPendingPush(orderIdText);
  if (result != kPushFailed || orderIdText == nullptr || orderIdText[0] == '\0') return;
  bool kept = keepFailedPush(orderIdText, statusId);
  if (kept) showMessage(kHandledPushFailed, orderIdText);
  addHistoryLine(kept ? kHistoryPushKept : kHistoryPushLost, orderIdText);
}
