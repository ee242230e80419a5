// Handlers of the service methods and the shape of their replies.
#include "method_handlers.h"

#include <cmath>

namespace mockgate {

namespace {

enum class Param { Absent, Present, Bad };

// An optional whole-number parameter.
Param integerParameter(const ServiceCall& call, const char* name, long long& out) {
    if (!call.parametersValid || !call.parameters.HasMember(name)) return Param::Absent;
    return integerMember(call.parameters, name, out) ? Param::Present : Param::Bad;
}

// An optional numeric parameter (a confirmation date may carry a fraction).
Param numberParameter(const ServiceCall& call, const char* name, double& out) {
    if (!call.parametersValid || !call.parameters.HasMember(name)) return Param::Absent;
    const rapidjson::Value& value = call.parameters[name];
    if (!value.IsNumber() || !std::isfinite(value.GetDouble())) return Param::Bad;
    out = value.GetDouble();
    return Param::Present;
}

std::string badParameter(const char* name, const char* expected) {
    return errorReply("ERROR_BAD_PARAMETERS", std::string("Parameter ") + name + " must be " + expected);
}

std::string getOrderStatusList(const Shop& shop) {
    return "{\"status\":\"SUCCESS\",\"statuses\":" + shop.statusesJson + "}";
}

std::string getOrders(const Shop& shop, const ServiceCall& call) {
    long long statusId = 0;
    double dateFrom = -INFINITY;
    Param status = integerParameter(call, "status_id", statusId);
    if (status == Param::Bad) return badParameter("status_id", "a whole number");
    if (numberParameter(call, "date_confirmed_from", dateFrom) == Param::Bad)
        return badParameter("date_confirmed_from", "a number");
    auto page = selectOrders(shop, status == Param::Absent, statusId, dateFrom, kOrdersPageSize);
    std::string reply = "{\"status\":\"SUCCESS\",\"orders\":[";
    for (size_t i = 0; i < page.size(); ++i) {
        if (i) reply += ',';
        reply += page[i]->json;
    }
    reply += "]}";
    return reply;
}

std::string getInvoices(const Shop& shop, const ServiceCall& call) {
    long long orderId = 0;
    Param order = integerParameter(call, "order_id", orderId);
    if (order == Param::Bad) return badParameter("order_id", "a whole number");
    std::string reply = "{\"status\":\"SUCCESS\",\"invoices\":[";
    bool first = true;
    for (const ShopInvoice& invoice : shop.invoices) {
        if (order == Param::Present && !(invoice.hasOrderId && invoice.orderId == orderId)) continue;
        if (!first) reply += ',';
        first = false;
        reply += invoice.json;
    }
    reply += "]}";
    return reply;
}

std::string setOrderStatus(Shop& shop, const ServiceCall& call) {
    long long orderId = 0, statusId = 0;
    Param order = integerParameter(call, "order_id", orderId);
    Param status = integerParameter(call, "status_id", statusId);
    if (order != Param::Present) return badParameter("order_id", "given as a whole number");
    if (status != Param::Present) return badParameter("status_id", "given as a whole number");
    ShopOrder* target = findOrder(shop, orderId);
    if (!target) return errorReply("ERROR_ORDER_NOT_FOUND", "No order with id " + std::to_string(orderId));
    if (!statusExists(shop, statusId))
        return errorReply("ERROR_STATUS_NOT_FOUND", "No order status with id " + std::to_string(statusId));
    moveOrder(shop, *target, statusId);
    return "{\"status\":\"SUCCESS\"}";
}

}  // namespace

std::string errorReply(const std::string& code, const std::string& message) {
    return "{\"status\":\"ERROR\",\"error_code\":" + jsonString(code) + ",\"error_message\":" + jsonString(message) +
           "}";
}

std::string handleServiceCall(Shop& shop, const ServiceCall& call) {
    if (!call.hasToken || call.token != shop.token) return errorReply("ERROR_BAD_TOKEN", "Invalid token");
    if (!call.hasMethod || call.method.empty()) return errorReply("ERROR_UNKNOWN_METHOD", "No method given");
    bool known = call.method == "getOrderStatusList" || call.method == "getOrders" || call.method == "getInvoices" ||
                 call.method == "setOrderStatus";
    if (!known) return errorReply("ERROR_UNKNOWN_METHOD", "Unknown method " + call.method);
    if (call.hasParameters && !call.parametersValid)
        return errorReply("ERROR_BAD_PARAMETERS", "Parameters are not a JSON object");
    if (call.method == "getOrderStatusList") return getOrderStatusList(shop);
    if (call.method == "getOrders") return getOrders(shop, call);
    if (call.method == "getInvoices") return getInvoices(shop, call);
    return setOrderStatus(shop, call);
}

}  // namespace mockgate
