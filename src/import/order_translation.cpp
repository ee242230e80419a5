// One page of orders: the reply is parsed, every order object becomes a
// document (skipping those this run has already met), and a full page
// reports where the next one starts.
#include "import/order_translation.h"

#include "hostlink/host_services.h"
#include "import/order_document.h"
#include "json/json.h"

namespace {

// Removes the page's notice box on every way out.
class DecodingNotice {
 public:
  DecodingNotice() { showWaitNotice("Dekodowanie zamowien z Marketgatea"); }
  ~DecodingNotice() { removeWaitNotice(); }
  DecodingNotice(const DecodingNotice&) = delete;
  DecodingNotice& operator=(const DecodingNotice&) = delete;
};

void translateOrder(PageContext& page, OrderValues& order) {
  order.rate = orderRate(page, order.currency.c_str());
  if (rateApplies(order.rate)) order.shippingPrice = order.deliveryPrice * order.rate;
  if (order.products == nullptr) return;  // nothing of it is written
  writeDocumentHeader(page, order);
  writeDocumentKeys(page, order);
  writePaymentBlock(page, order);
  hostFileWrite(page.file, "\n[ZawartoscDokumentu]\n");
  writeProductPositions(page, order);
  writeShippingPosition(page, order);
}

// True when the order was met before in this run; records it otherwise.
bool alreadySeen(SeenOrders* seen, double orderId) {
  if (seen == nullptr) return false;
  return !seen->ids.insert(orderId).second;
}

}  // namespace

int translateOrders(const char* reply, void* file, int32_t documentKind, int32_t symbolSource,
                    int32_t* nextPageDate, SeenOrders* seen) {
  PageContext page;
  page.file = file;
  page.kind = normalisedKind(documentKind);
  page.symbolSource = symbolSource;
  hostBoundedCopy(page.currentDate, hostCurrentDate(), sizeof page.currentDate - 1);
  DecodingNotice notice;

  if (reply == nullptr || (reply[0] != '{' && reply[0] != '[')) return -1;
  JsonValue* root = jsonParse(reply);
  if (root == nullptr) return -1;
  JsonArray* orders = jsonObjectArray(jsonValueObject(root), "orders");
  if (orders == nullptr) {
    jsonFree(root);
    return -1;
  }

  emptyRateCache(page.rates);
  uint32_t count = jsonArrayCount(orders);
  int32_t lastConfirmation = 0;
  OrderValues order;
  for (uint32_t i = 0; i < count; ++i) {
    const JsonObject* element = jsonArrayObjectAt(orders, i);
    if (element == nullptr) continue;
    readOrderValues(element, order);
    lastConfirmation = order.dateConfirmed;
    if (alreadySeen(seen, order.orderId)) continue;
    translateOrder(page, order);
  }
  if (count == kOrdersPageSize && nextPageDate != nullptr) *nextPageDate = lastConfirmation;
  jsonFree(root);
  return 0;
}
