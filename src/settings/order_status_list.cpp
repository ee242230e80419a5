// Decoding the service's order statuses into an OrderStatusList (host
// memory, grown in steps of 1000 entries) and looking a position up.
#include "settings/order_status_list.h"

#include "hostlink/host_services.h"
#include "json/json.h"

namespace {

constexpr int32_t kGrowthStep = 1000;
constexpr char kOutOfMemory[] = "Brak pamieci na wykonanie operacji we wtyczce Marketgate";
constexpr int32_t kOutOfMemoryStop = 1472;

// Makes room for one more entry; without memory the host is stopped.
void reserveOneMore(OrderStatusList& list) {
  if (list.count < list.capacity) return;
  list.capacity += kGrowthStep;
  list.statuses = static_cast<OrderStatus*>(
      hostReallocate(list.statuses, static_cast<uint32_t>(list.capacity) * sizeof(OrderStatus)));
  if (list.statuses == nullptr) {
    hostMessage(kOutOfMemory);
    hostFatalStop(kOutOfMemoryStop);
  }
}

// An id is the number truncated toward zero; a number outside the 32-bit
// range (or a NaN) cannot be one and counts as 0.
int32_t statusIdOf(double number) {
  if (!(number > -2147483649.0 && number < 2147483648.0)) return 0;
  return static_cast<int32_t>(number);
}

void appendStatus(OrderStatusList& list, const JsonObject* item) {
  OrderStatus& entry = list.statuses[list.count];
  entry.id = statusIdOf(jsonObjectNumber(item, "id"));
  hostBoundedCopy(entry.name, jsonObjectString(item, "name"), sizeof entry.name - 1);
  hostBoundedCopy(entry.name_for_customer, jsonObjectString(item, "name_for_customer"),
                  sizeof entry.name_for_customer - 1);
  list.count += 1;
}

}  // namespace

int decodeOrderStatusList(OrderStatusList& list, const char* reply) {
  if (reply == nullptr || (reply[0] != '{' && reply[0] != '[')) return -1;
  JsonValue* root = jsonParse(reply);
  if (root == nullptr) return -1;
  JsonArray* statuses = jsonObjectArray(jsonValueObject(root), "statuses");
  if (statuses == nullptr) {
    jsonFree(root);
    return -1;
  }
  uint32_t count = jsonArrayCount(statuses);
  for (uint32_t i = 0; i < count; ++i) {
    reserveOneMore(list);
    if (const JsonObject* item = jsonArrayObjectAt(statuses, i)) appendStatus(list, item);
  }
  jsonFree(root);
  return 0;
}

const OrderStatus* statusAt(const OrderStatusList& list, int position) {
  if (list.statuses == nullptr || position < 0 || position >= list.count) return nullptr;
  return &list.statuses[position];
}
