// Loading, indexing, querying and saving of the shop that mockgate serves.
#include "shop.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace mockgate {

namespace {

bool orderBefore(const Shop& shop, size_t a, size_t b) {
    const ShopOrder& x = shop.orders[a];
    const ShopOrder& y = shop.orders[b];
    if (x.dateConfirmed != y.dateConfirmed) return x.dateConfirmed < y.dateConfirmed;
    return x.orderId < y.orderId;
}

void insertSorted(const Shop& shop, std::vector<size_t>& list, size_t index) {
    auto at = std::lower_bound(list.begin(), list.end(), index,
                               [&](size_t a, size_t b) { return orderBefore(shop, a, b); });
    list.insert(at, index);
}

void eraseSorted(const Shop& shop, std::vector<size_t>& list, size_t index) {
    auto at = std::lower_bound(list.begin(), list.end(), index,
                               [&](size_t a, size_t b) { return orderBefore(shop, a, b); });
    if (at != list.end() && *at == index) list.erase(at);
}

bool loadStatuses(Shop& shop, std::string& error) {
    const JsonValue* statuses = shop.root.find("statuses");
    if (!statuses) {
        shop.statusesJson = "[]";
        return true;
    }
    if (!statuses->isArray()) {
        error = "\"statuses\" is not an array";
        return false;
    }
    for (size_t i = 0; i < statuses->items.size(); ++i) {
        long long id;
        if (!integerMember(statuses->items[i], "id", id)) {
            error = "status " + std::to_string(i) + " has no whole-number \"id\"";
            return false;
        }
        shop.statusIds.push_back(id);
    }
    shop.statusesJson = toJson(*statuses);
    return true;
}

bool loadOrder(Shop& shop, JsonValue& data, size_t i, std::string& error) {
    ShopOrder order;
    std::string where = "order " + std::to_string(i);
    if (!data.isObject()) {
        error = where + " is not an object";
        return false;
    }
    if (!integerMember(data, "order_id", order.orderId)) {
        error = where + " has no whole-number \"order_id\"";
        return false;
    }
    if (!integerMember(data, "order_status_id", order.statusId)) {
        error = where + " has no whole-number \"order_status_id\"";
        return false;
    }
    if (const JsonValue* date = data.find("date_confirmed")) {
        if (!date->isNumber()) {
            error = where + " has a \"date_confirmed\" that is not a number";
            return false;
        }
        order.dateConfirmed = date->number();
    }
    if (!shop.orderPosition.emplace(order.orderId, shop.orders.size()).second) {
        error = where + " repeats the order id " + std::to_string(order.orderId);
        return false;
    }
    order.data = std::move(data);
    order.json = toJson(order.data);
    shop.orders.push_back(std::move(order));
    return true;
}

bool loadOrders(Shop& shop, std::string& error) {
    JsonValue* orders = shop.root.find("orders");
    if (!orders) return true;
    if (!orders->isArray()) {
        error = "\"orders\" is not an array";
        return false;
    }
    std::vector<JsonValue> items = std::move(orders->items);
    orders->items.clear();
    shop.orders.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        if (!loadOrder(shop, items[i], i, error)) return false;
    return true;
}

bool loadInvoices(Shop& shop, std::string& error) {
    const JsonValue* invoices = shop.root.find("invoices");
    if (!invoices) return true;
    if (!invoices->isArray()) {
        error = "\"invoices\" is not an array";
        return false;
    }
    for (const JsonValue& item : invoices->items) {
        ShopInvoice invoice;
        invoice.hasOrderId = integerMember(item, "order_id", invoice.orderId);
        invoice.json = toJson(item);
        shop.invoices.push_back(std::move(invoice));
    }
    return true;
}

void buildIndexes(Shop& shop) {
    shop.ordersByDate.resize(shop.orders.size());
    for (size_t i = 0; i < shop.orders.size(); ++i) shop.ordersByDate[i] = i;
    std::sort(shop.ordersByDate.begin(), shop.ordersByDate.end(),
              [&](size_t a, size_t b) { return orderBefore(shop, a, b); });
    // Walking the sorted list keeps every per-status list sorted as well.
    for (size_t index : shop.ordersByDate)
        shop.ordersByStatus[shop.orders[index].statusId].push_back(index);
}

}  // namespace

bool loadShopText(const std::string& text, Shop& shop, std::string& error) {
    shop = Shop();
    std::string parseError;
    if (!parseJson(text, shop.root, &parseError)) {
        error = "shop is not valid JSON: " + parseError;
        return false;
    }
    if (!shop.root.isObject()) {
        error = "shop is not a JSON object";
        return false;
    }
    const JsonValue* token = shop.root.find("token");
    if (!token || !token->isString()) {
        error = "shop has no \"token\" string";
        return false;
    }
    shop.token = token->text;
    if (!loadStatuses(shop, error) || !loadOrders(shop, error) || !loadInvoices(shop, error))
        return false;
    buildIndexes(shop);
    return true;
}

bool loadShopFile(const std::string& path, Shop& shop, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return loadShopText(text.str(), shop, error);
}

bool statusExists(const Shop& shop, long long statusId) {
    return std::find(shop.statusIds.begin(), shop.statusIds.end(), statusId) != shop.statusIds.end();
}

ShopOrder* findOrder(Shop& shop, long long orderId) {
    auto at = shop.orderPosition.find(orderId);
    return at == shop.orderPosition.end() ? nullptr : &shop.orders[at->second];
}

std::vector<const ShopOrder*> selectOrders(const Shop& shop, bool allStatuses, long long statusId,
                                           double dateFrom, size_t limit) {
    std::vector<const ShopOrder*> page;
    const std::vector<size_t>* list = &shop.ordersByDate;
    if (!allStatuses) {
        auto at = shop.ordersByStatus.find(statusId);
        if (at == shop.ordersByStatus.end()) return page;
        list = &at->second;
    }
    auto first = std::lower_bound(list->begin(), list->end(), dateFrom, [&](size_t index, double date) {
        return shop.orders[index].dateConfirmed < date;
    });
    for (auto it = first; it != list->end() && page.size() < limit; ++it)
        page.push_back(&shop.orders[*it]);
    return page;
}

void moveOrder(Shop& shop, ShopOrder& order, long long statusId) {
    size_t index = static_cast<size_t>(&order - shop.orders.data());
    if (order.statusId != statusId) {
        eraseSorted(shop, shop.ordersByStatus[order.statusId], index);
        order.statusId = statusId;
        insertSorted(shop, shop.ordersByStatus[statusId], index);
    }
    order.data.set("order_status_id", jsonNumber(statusId));
    order.json = toJson(order.data);
}

std::string shopStateText(const Shop& shop) {
    std::string out = "{\n";
    const auto& members = shop.root.members;
    for (size_t i = 0; i < members.size(); ++i) {
        writeJsonString(members[i].first, out);
        out += ": ";
        if (members[i].first == "orders") {
            out += "[";
            for (size_t k = 0; k < shop.orders.size(); ++k) {
                out += k ? ",\n" : "\n";
                out += shop.orders[k].json;
            }
            out += "\n]";
        } else {
            writeJson(members[i].second, out);
        }
        out += i + 1 < members.size() ? ",\n" : "\n";
    }
    out += "}\n";
    return out;
}

bool saveShopFile(const std::string& path, const Shop& shop, std::string& error) {
    // Written beside the target and renamed, so a reader never sees half a file.
    std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << shopStateText(shop);
        if (!out.flush()) {
            error = "cannot write " + temporary;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temporary + " to " + path;
        return false;
    }
    return true;
}

}  // namespace mockgate
