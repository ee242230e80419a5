// Planning the requests of an import from the shop text (see request_plan.h).
#include "request_plan.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "import/order_translation.h"
#include "json/json.h"

namespace {

struct PlannedOrder {
  double id;
  double dateConfirmed;
  bool taxId;
  size_t index;
};

bool hasTaxId(const char* nip) {
  if (nip == nullptr) return false;
  for (size_t i = 0; i < 14 && nip[i] != '\0'; ++i) {
    if (std::isalnum(static_cast<unsigned char>(nip[i]))) return true;
  }
  return false;
}

std::vector<PlannedOrder> ordersInStatus(const std::string& shopText, long statusId) {
  std::vector<PlannedOrder> orders;
  JsonValue* root = jsonParse(shopText.c_str());
  JsonArray* all = jsonObjectArray(jsonValueObject(root), "orders");
  for (uint32_t i = 0; i < jsonArrayCount(all); ++i) {
    const JsonObject* order = jsonArrayObjectAt(all, i);
    if (order == nullptr || jsonObjectNumber(order, "order_status_id") != statusId) continue;
    orders.push_back(PlannedOrder{jsonObjectNumber(order, "order_id"), jsonObjectNumber(order, "date_confirmed"),
                                  hasTaxId(jsonObjectString(order, "invoice_nip")), i});
  }
  jsonFree(root);
  // The service pages by confirmation date, in the shop's order within a date.
  std::stable_sort(orders.begin(), orders.end(),
                   [](const PlannedOrder& a, const PlannedOrder& b) { return a.dateConfirmed < b.dateConfirmed; });
  return orders;
}

}  // namespace

std::map<std::string, long> plannedRequests(const std::string& shopText, long statusId, bool takenOver) {
  std::vector<PlannedOrder> pool = ordersInStatus(shopText, statusId);
  std::map<std::string, long> requests;
  requests["getOrderStatusList"] = 1;
  std::set<double> seen;
  double from = -INFINITY;
  for (;;) {
    requests["getOrders"] += 1;
    std::vector<PlannedOrder> page;
    for (const PlannedOrder& order : pool) {
      if (order.dateConfirmed >= from && page.size() < kOrdersPageSize) page.push_back(order);
    }
    size_t before = seen.size();
    for (const PlannedOrder& order : page) {
      if (!seen.insert(order.id).second) continue;
      if (order.taxId) requests["getInvoices"] += 1;
      if (takenOver) {
        requests["getOrderStatusList"] += 1;
        requests["setOrderStatus"] += 1;
      }
    }
    if (takenOver) {
      pool.erase(std::remove_if(pool.begin(), pool.end(),
                                [&](const PlannedOrder& order) { return seen.count(order.id) != 0; }),
                 pool.end());
    }
    if (page.size() != kOrdersPageSize || seen.size() == before) break;
    int32_t next = static_cast<int32_t>(page.back().dateConfirmed);
    if (next == 0) break;
    from = next;
  }
  return requests;
}
