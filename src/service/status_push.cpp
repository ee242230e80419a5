// Pushing an order to the outgoing status on the order service: fetch the
// service's statuses, read the chosen position from the options and send
// setOrderStatus. Everything is made and released within the call.
#include "service/status_push.h"

#include "hostlink/host_services.h"
#include "service/api_session.h"
#include "service/service_requests.h"
#include "settings/import_settings.h"
#include "settings/marketgate_status.h"
#include "settings/order_status_list.h"

namespace {

// Fills the object's status list from the service; false when the service
// gave no list.
bool fetchStatusList(const ApiSession& session, MarketgateStatus& object) {
  char* reply = nullptr;
  int sent = requestOrderStatusList(session, &reply);
  if (reply == nullptr) return false;
  if (sent) decodeOrderStatusList(object.statusList, reply);
  hostRelease(reply);
  return sent != 0;
}

// Sends the outgoing status unless the user wants no change. A position
// that the fetched list does not hold sends nothing.
void sendOutgoingStatus(const ApiSession& session, MarketgateStatus& object, const char* orderIdText) {
  loadSettings(object);
  const ImportSettings& settings = object.settings;
  if (settings.StatusWePoz == settings.StatusWyPoz) return;
  const OrderStatus* outgoing = statusAt(object.statusList, settings.StatusWyPoz);
  if (outgoing == nullptr) return;
  if (orderIdText == nullptr || orderIdText[0] == '\0') return;
  requestSetOrderStatus(session, outgoing->id, orderIdText);
}

}  // namespace

void pushOrderStatus(const char* orderIdText) {
  MarketgateStatus object;
  constructMarketgateStatus(object);
  ApiSession session;
  openApiSession(session);
  if (fetchStatusList(session, object)) sendOutgoingStatus(session, object, orderIdText);
  destroyMarketgateStatus(object);
}
