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
    auto at =
        std::lower_bound(list.begin(), list.end(), index, [&](size_t a, size_t b) { return orderBefore(shop, a, b); });
    list.insert(at, index);
}

void eraseSorted(const Shop& shop, std::vector<size_t>& list, size_t index) {
    auto at =
        std::lower_bound(list.begin(), list.end(), index, [&](size_t a, size_t b) { return orderBefore(shop, a, b); });
    if (at != list.end() && *at == index) list.erase(at);
}

// Cuts a shop text into the compact texts of its top-level members and of
// the elements of its top-level arrays (the orders, the invoices).
class ShopSplitter : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, ShopSplitter> {
public:
    using SizeType = rapidjson::SizeType;
    std::vector<ShopMember> members;
    std::vector<std::vector<std::string>> elements;  // per member

    bool Null() {
        return scalar([](JsonWriter& w) { return w.Null(); });
    }
    bool Bool(bool value) {
        return scalar([&](JsonWriter& w) { return w.Bool(value); });
    }
    bool RawNumber(const char* text, SizeType length, bool) {
        return scalar([&](JsonWriter& w) { return w.RawValue(text, length, rapidjson::kNumberType); });
    }
    bool String(const char* text, SizeType length, bool) {
        return scalar([&](JsonWriter& w) { return w.String(text, length); });
    }
    bool Key(const char* text, SizeType length, bool) {
        if (depth_ == 1) {
            members.push_back({std::string(text, length), std::string()});
            elements.emplace_back();
        }
        if (depth_ >= 2) member_.Key(text, length);
        if (depth_ >= 3) element_.Key(text, length);
        return true;
    }
    bool StartObject() {
        return open([](JsonWriter& w) { return w.StartObject(); });
    }
    bool EndObject(SizeType) {
        return close([](JsonWriter& w) { return w.EndObject(); });
    }
    bool StartArray() {
        return open([](JsonWriter& w) { return w.StartArray(); });
    }
    bool EndArray(SizeType) {
        return close([](JsonWriter& w) { return w.EndArray(); });
    }

private:
    // A value at level 1 is a member's value, at level 2 an element of it.
    template <class Write>
    void write(int level, Write w) {
        if (level == 1) restart(memberText_, member_);
        if (level == 2) restart(elementText_, element_);
        if (level >= 1) w(member_);
        if (level >= 2) w(element_);
    }
    void finish(int level) {
        if (level == 1) members.back().json.assign(memberText_.GetString(), memberText_.GetSize());
        if (level == 2) elements.back().emplace_back(elementText_.GetString(), elementText_.GetSize());
    }
    static void restart(rapidjson::StringBuffer& text, JsonWriter& writer) {
        text.Clear();
        writer.Reset(text);
    }
    template <class Write>
    bool scalar(Write w) {
        write(depth_, w);
        finish(depth_);
        return true;
    }
    template <class Write>
    bool open(Write w) {
        write(depth_++, w);
        return true;
    }
    template <class Write>
    bool close(Write w) {
        --depth_;
        if (depth_ >= 1) w(member_);
        if (depth_ >= 2) w(element_);
        finish(depth_);
        return true;
    }

    int depth_ = 0;
    rapidjson::StringBuffer memberText_, elementText_;
    JsonWriter member_{memberText_}, element_{elementText_};
};

bool loadStatuses(Shop& shop, const JsonDocument& root, std::string& error) {
    auto statuses = root.FindMember("statuses");
    if (statuses == root.MemberEnd()) return true;
    if (!statuses->value.IsArray()) {
        error = "\"statuses\" is not an array";
        return false;
    }
    for (rapidjson::SizeType i = 0; i < statuses->value.Size(); ++i) {
        long long id;
        if (!integerMember(statuses->value[i], "id", id)) {
            error = "status " + std::to_string(i) + " has no whole-number \"id\"";
            return false;
        }
        shop.statusIds.push_back(id);
    }
    return true;
}

bool loadOrder(Shop& shop, const rapidjson::Value& data, size_t i, std::string& error) {
    ShopOrder order;
    std::string where = "order " + std::to_string(i);
    if (!data.IsObject()) {
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
    auto date = data.FindMember("date_confirmed");
    if (date != data.MemberEnd()) {
        if (!date->value.IsNumber()) {
            error = where + " has a \"date_confirmed\" that is not a number";
            return false;
        }
        order.dateConfirmed = date->value.GetDouble();
    }
    if (!shop.orderPosition.emplace(order.orderId, shop.orders.size()).second) {
        error = where + " repeats the order id " + std::to_string(order.orderId);
        return false;
    }
    shop.orders.push_back(std::move(order));
    return true;
}

bool loadOrders(Shop& shop, const JsonDocument& root, std::string& error) {
    auto orders = root.FindMember("orders");
    if (orders == root.MemberEnd()) return true;
    if (!orders->value.IsArray()) {
        error = "\"orders\" is not an array";
        return false;
    }
    shop.orders.reserve(orders->value.Size());
    for (rapidjson::SizeType i = 0; i < orders->value.Size(); ++i)
        if (!loadOrder(shop, orders->value[i], i, error)) return false;
    return true;
}

bool loadInvoices(Shop& shop, const JsonDocument& root, std::string& error) {
    auto invoices = root.FindMember("invoices");
    if (invoices == root.MemberEnd()) return true;
    if (!invoices->value.IsArray()) {
        error = "\"invoices\" is not an array";
        return false;
    }
    for (const rapidjson::Value& item : invoices->value.GetArray()) {
        ShopInvoice invoice;
        invoice.hasOrderId = integerMember(item, "order_id", invoice.orderId);
        shop.invoices.push_back(std::move(invoice));
    }
    return true;
}

// The compact texts of the members, the orders and the invoices.
void keepTexts(Shop& shop, const std::string& text) {
    ShopSplitter splitter;
    rapidjson::Reader reader;
    rapidjson::StringStream in(text.c_str());
    reader.Parse<kCopyParseFlags>(in, splitter);
    bool ordersSeen = false, invoicesSeen = false, statusesSeen = false;
    for (size_t m = 0; m < splitter.members.size(); ++m) {
        ShopMember& member = splitter.members[m];
        // Only the first member of a name counts, as in every lookup.
        if (member.name == "orders") {
            if (!ordersSeen)
                for (size_t k = 0; k < shop.orders.size(); ++k)
                    shop.orders[k].json = std::move(splitter.elements[m][k]);
            ordersSeen = true;
            member.json.clear();
        } else if (member.name == "invoices" && !invoicesSeen) {
            invoicesSeen = true;
            for (size_t k = 0; k < shop.invoices.size(); ++k)
                shop.invoices[k].json = std::move(splitter.elements[m][k]);
        } else if (member.name == "statuses" && !statusesSeen) {
            statusesSeen = true;
            shop.statusesJson = member.json;
        }
    }
    shop.members = std::move(splitter.members);
}

void buildIndexes(Shop& shop) {
    shop.ordersByDate.resize(shop.orders.size());
    for (size_t i = 0; i < shop.orders.size(); ++i) shop.ordersByDate[i] = i;
    std::sort(shop.ordersByDate.begin(), shop.ordersByDate.end(),
              [&](size_t a, size_t b) { return orderBefore(shop, a, b); });
    // Walking the sorted list keeps every per-status list sorted as well.
    for (size_t index : shop.ordersByDate) shop.ordersByStatus[shop.orders[index].statusId].push_back(index);
}

}  // namespace

bool loadShopText(const std::string& text, Shop& shop, std::string& error) {
    shop = Shop();
    shop.statusesJson = "[]";
    std::string parseError;
    JsonDocument root;
    if (!parseJson(text, root, &parseError)) {
        error = "shop is not valid JSON: " + parseError;
        return false;
    }
    if (!root.IsObject()) {
        error = "shop is not a JSON object";
        return false;
    }
    auto token = root.FindMember("token");
    if (token == root.MemberEnd() || !token->value.IsString()) {
        error = "shop has no \"token\" string";
        return false;
    }
    shop.token.assign(token->value.GetString(), token->value.GetStringLength());
    if (!loadStatuses(shop, root, error) || !loadOrders(shop, root, error) || !loadInvoices(shop, root, error))
        return false;
    keepTexts(shop, text);
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

std::vector<const ShopOrder*> selectOrders(const Shop& shop, bool allStatuses, long long statusId, double dateFrom,
                                           size_t limit) {
    std::vector<const ShopOrder*> page;
    const std::vector<size_t>* list = &shop.ordersByDate;
    if (!allStatuses) {
        auto at = shop.ordersByStatus.find(statusId);
        if (at == shop.ordersByStatus.end()) return page;
        list = &at->second;
    }
    auto first = std::lower_bound(list->begin(), list->end(), dateFrom,
                                  [&](size_t index, double date) { return shop.orders[index].dateConfirmed < date; });
    for (auto it = first; it != list->end() && page.size() < limit; ++it) page.push_back(&shop.orders[*it]);
    return page;
}

void moveOrder(Shop& shop, ShopOrder& order, long long statusId) {
    size_t index = static_cast<size_t>(&order - shop.orders.data());
    if (order.statusId != statusId) {
        eraseSorted(shop, shop.ordersByStatus[order.statusId], index);
        order.statusId = statusId;
        insertSorted(shop, shop.ordersByStatus[statusId], index);
    }
    order.json = withNumberMember(order.json, "order_status_id", std::to_string(statusId));
}

std::string shopStateText(const Shop& shop) {
    std::string out = "{\n";
    const auto& members = shop.members;
    for (size_t i = 0; i < members.size(); ++i) {
        out += jsonString(members[i].name);
        out += ": ";
        if (members[i].name == "orders") {
            out += "[";
            for (size_t k = 0; k < shop.orders.size(); ++k) {
                out += k ? ",\n" : "\n";
                out += shop.orders[k].json;
            }
            out += "\n]";
        } else {
            out += members[i].json;
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
