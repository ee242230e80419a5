// One page of orders: the reply is parsed, every order object that can be
// carried faithfully becomes a document (skipping those this run has
// already met), and a full page reports where the next one starts.
#include "import/order_translation.h"

#include "hostlink/host_services.h"
#include "import/booked_orders.h"
#include "import/import_file.h"
#include "import/order_document.h"
#include "import/refused_orders.h"
#include "import/taken_over_note.h"
#include "json/json.h"
#include "service/import_history.h"
#include "service/push_journal.h"
#include "service/status_push.h"

namespace {

// Removes the page's notice box on every way out.
class DecodingNotice {
 public:
  DecodingNotice() { showWaitNotice("Dekodowanie zamowien z Marketgatea"); }
  ~DecodingNotice() { removeWaitNotice(); }
  DecodingNotice(const DecodingNotice&) = delete;
  DecodingNotice& operator=(const DecodingNotice&) = delete;
};

// A taken-over order whose status did not move is kept to be moved later.
void noteFailedPush(SeenOrders* seen, const OrderValues& order, int32_t statusId) {
  if (seen == nullptr) return;
  ++seen->failedPushes;
  noteOrderInHistory(kHistoryPushWaiting, order.orderNumber);
  keepFailedPush(order.orderNumber, statusId != 0 ? statusId : seen->outgoingStatusId);
}

// The status the order goes back to when its run cannot hand it over: 0
// when it is not moved.
int32_t statusToGoBackTo(const PageContext& page, const SeenOrders* seen) {
  if (seen == nullptr || page.kind == kCustomerOrder || seen->outgoingStatusId == 0) return 0;
  return seen->incomingStatusId;
}

// false when the order could not be noted or written: nothing more is
// taken over then.
bool translateOrder(PageContext& page, OrderValues& order, SeenOrders* seen) {
  if (importFileFailed(*page.file)) return false;
  order.rate = orderRate(page, order.currency.c_str());
  if (rateApplies(order.rate)) order.shippingPrice = order.deliveryPrice * order.rate;
  if (order.products == nullptr) return true;  // nothing of it is written
  int32_t goesBackTo = statusToGoBackTo(page, seen);
  if (seen != nullptr && seen->note != nullptr && !noteTakenOver(*seen->note, order.orderNumber, goesBackTo)) {
    return false;
  }
  writeDocumentHeader(page, order);
  if (importFileFailed(*page.file)) return false;
  // The order is taken over once its head is written.
  if (page.kind != kCustomerOrder) {
    int32_t statusId = 0;
    bool unanswered = false;
    if (pushOrderStatus(order.orderNumber, &statusId, &unanswered) == kPushFailed) {
      noteFailedPush(seen, order, statusId);
    }
    if (unanswered && seen != nullptr) seen->serviceSilent = true;
    if (seen != nullptr && seen->note != nullptr && goesBackTo != 0) {
      seen->note->moved.push_back(NotedOrder{order.orderNumber, goesBackTo});
    }
  }
  if (seen != nullptr) seen->written.push_back(order.orderNumber);
  writeDocumentKeys(page, order);
  writePaymentBlock(page, order);
  writeImportText(page.file, "\n[ZawartoscDokumentu]\n");
  writeProductPositions(page, order);
  writeShippingPosition(page, order);
  return !importFileFailed(*page.file);
}

// True when the order was met before in this run; records it otherwise.
bool alreadySeen(SeenOrders* seen, double orderId) {
  if (seen == nullptr) return false;
  return !seen->ids.insert(orderId).second;
}

// True when an earlier run booked the order, or took it over without
// moving its status yet.
bool handedOverBefore(SeenOrders* seen, const OrderValues& order) {
  if (seen == nullptr || seen->booked == nullptr) return false;
  if (!bookedBefore(*seen->booked, order.orderNumber) && seen->waiting.count(order.orderNumber) == 0) return false;
  ++seen->skipped;
  noteOrderInHistory(kHistorySkipped, order.orderNumber);
  return true;
}

void startPage(PageContext& page, ImportFile* file, int32_t documentKind, int32_t symbolSource, SeenOrders* seen) {
  page.file = file;
  page.seen = seen;
  page.kind = normalisedKind(documentKind);
  page.symbolSource = symbolSource;
  hostBoundedCopy(page.currentDate, hostCurrentDate(), sizeof page.currentDate - 1);
}

int translateParsedOrders(PageContext& page, const JsonValue* root, int32_t* nextPageDate, const char* reply) {
  JsonArray* orders = jsonObjectArray(jsonValueObject(root), "orders");
  if (orders == nullptr) return -1;

  SeenOrders* seen = page.seen;
  emptyRateCache(page.rates);
  uint32_t count = jsonArrayCount(orders);
  int32_t lastConfirmation = 0;
  bool oneMoment = true;
  bool firstRead = true;
  OrderValues order;
  for (uint32_t i = 0; i < count; ++i) {
    if (seen != nullptr && seen->serviceSilent) break;
    const JsonObject* element = jsonArrayObjectAt(orders, i);
    if (element == nullptr) continue;
    readOrderValues(element, order);
    if (!firstRead && order.dateConfirmed != lastConfirmation) oneMoment = false;
    firstRead = false;
    lastConfirmation = order.dateConfirmed;
    if (!order.faithful || !productsCarriedFaithfully(order.products)) {
      if (seen != nullptr) noteRefusedOrder(*seen, reply, i, element);
      continue;
    }
    if (alreadySeen(seen, order.orderId) || handedOverBefore(seen, order)) continue;
    if (!translateOrder(page, order, seen)) {
      if (seen != nullptr) seen->stopped = true;
      return 0;
    }
  }
  if (count == kOrdersPageSize && nextPageDate != nullptr) *nextPageDate = lastConfirmation;
  if (seen != nullptr) seen->pageOfOneMoment = count == kOrdersPageSize && oneMoment;
  return 0;
}

}  // namespace

int translateOrders(const char* reply, void* file, int32_t documentKind, int32_t symbolSource, int32_t* nextPageDate,
                    SeenOrders* seen) {
  ImportFile out{file, ImportFileFault::none, 0};
  PageContext page;
  startPage(page, &out, documentKind, symbolSource, seen);
  DecodingNotice notice;

  if (reply == nullptr || (reply[0] != '{' && reply[0] != '[')) return -1;
  JsonValue* root = jsonParse(reply);
  if (root == nullptr) return -1;
  int result = translateParsedOrders(page, root, nextPageDate, reply);
  jsonFree(root);
  return result;
}

int translateOrderTree(const JsonValue* root, ImportFile* file, int32_t documentKind, int32_t symbolSource,
                       int32_t* nextPageDate, SeenOrders* seen, const char* reply) {
  PageContext page;
  startPage(page, file, documentKind, symbolSource, seen);
  DecodingNotice notice;
  return translateParsedOrders(page, root, nextPageDate, reply);
}
