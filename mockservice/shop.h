// The shop that mockgate serves: token, statuses, orders and invoices,
// loaded from a shop file, with the orders indexed by status and by
// confirmation date so that a page of orders is found without a scan.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "json_text.h"

namespace mockgate {

struct ShopOrder {
    long long orderId = 0;
    long long statusId = 0;
    double dateConfirmed = 0;  // "date_confirmed", 0 when absent
    std::string json;          // the order object as stored, compact, "order_status_id" kept current
};

struct ShopInvoice {
    bool hasOrderId = false;
    long long orderId = 0;
    std::string json;
};

// A top-level member of the shop file, its value in compact form.
struct ShopMember {
    std::string name;
    std::string json;  // empty for "orders", which are kept in the shop's orders
};

struct Shop {
    std::string token;
    std::vector<ShopMember> members;  // in stored order
    std::string statusesJson;         // compact "statuses" array as stored
    std::vector<long long> statusIds;
    std::vector<ShopOrder> orders;  // in stored order
    std::vector<ShopInvoice> invoices;
    std::unordered_map<long long, size_t> orderPosition;  // order id -> index in orders
    // Order indexes sorted by (date_confirmed, order_id): per status, and all orders.
    std::unordered_map<long long, std::vector<size_t>> ordersByStatus;
    std::vector<size_t> ordersByDate;
};

bool loadShopText(const std::string& text, Shop& shop, std::string& error);
bool loadShopFile(const std::string& path, Shop& shop, std::string& error);

bool statusExists(const Shop& shop, long long statusId);
ShopOrder* findOrder(Shop& shop, long long orderId);

// Orders of one status (all orders when allStatuses), confirmed at or after
// dateFrom, in (date_confirmed, order_id) order, at most limit of them.
std::vector<const ShopOrder*> selectOrders(const Shop& shop, bool allStatuses, long long statusId, double dateFrom,
                                           size_t limit);

// Moves a known order to statusId and updates its stored object and indexes.
void moveOrder(Shop& shop, ShopOrder& order, long long statusId);

// The shop as a shop file, with the orders' current statuses: one top-level
// member per line and one order per line.
std::string shopStateText(const Shop& shop);
bool saveShopFile(const std::string& path, const Shop& shop, std::string& error);

}  // namespace mockgate
