// The service methods answered from a small in-memory shop: filtering,
// order and size of pages, invoices, status changes and error replies.
#include <gtest/gtest.h>

#include "form_decoding.h"
#include "method_handlers.h"
#include "shop.h"

using namespace mockgate;

namespace {

std::string order(long long id, long long status, long long confirmed) {
    return "{\"order_id\": " + std::to_string(id) + ", \"order_status_id\": " + std::to_string(status) +
           ", \"date_confirmed\": " + std::to_string(confirmed) + ", \"delivery_price\": 12.50}";
}

class MethodHandlers : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text =
            "{\"token\": \"tok\", \"statuses\": [{\"id\": 5, \"name\": \"Nowe\", \"name_for_customer\": \"Przyj\xC4\x99te\"},"
            " {\"id\": 6, \"name\": \"Wys\xC5\x82\x61ne\", \"name_for_customer\": \"\"}], \"orders\": [" +
            order(30, 5, 2000) + "," + order(10, 5, 1000) + "," + order(20, 5, 1000) + "," + order(40, 6, 1500) + "," +
            order(5, 5, 3000) +
            "], \"invoices\": [{\"invoice_id\": 1, \"order_id\": 20, \"number\": \"\"},"
            " {\"invoice_id\": 2, \"order_id\": 20, \"number\": \"FV/2\"}, {\"invoice_id\": 3, \"order_id\": 30, \"number\": \"FV/3\"}]}";
        std::string error;
        ASSERT_TRUE(loadShopText(text, shop, error)) << error;
    }

    // The reply, parsed; its text stays in lastReply.
    JsonDocument call(const std::string& body) {
        JsonDocument reply;
        lastReply = handleServiceCall(shop, decodeServiceCall(body));
        EXPECT_TRUE(parseJson(lastReply, reply)) << lastReply;
        return reply;
    }

    std::vector<long long> ids(const JsonDocument& reply) {
        std::vector<long long> ids;
        EXPECT_TRUE(reply.HasMember("orders") && reply["orders"].IsArray());
        if (!reply.HasMember("orders")) return ids;
        for (const rapidjson::Value& o : reply["orders"].GetArray()) {
            long long id = 0;
            integerMember(o, "order_id", id);
            ids.push_back(id);
        }
        return ids;
    }

    static std::string errorCode(const JsonDocument& reply) {
        EXPECT_TRUE(reply.HasMember("status") && reply["status"] == "ERROR");
        return reply.HasMember("error_code") ? reply["error_code"].GetString() : "";
    }

    Shop shop;
    std::string lastReply;
};

}  // namespace

TEST_F(MethodHandlers, RefusesAWrongOrMissingToken) {
    EXPECT_EQ(handleServiceCall(shop, decodeServiceCall("token=other&method=getOrders")),
              "{\"status\":\"ERROR\",\"error_code\":\"ERROR_BAD_TOKEN\",\"error_message\":\"Invalid token\"}");
    EXPECT_EQ(errorCode(call("method=getOrders")), "ERROR_BAD_TOKEN");
}

TEST_F(MethodHandlers, ReportsUnknownMethodsAndBadParameters) {
    EXPECT_EQ(errorCode(call("token=tok&method=getProducts")), "ERROR_UNKNOWN_METHOD");
    EXPECT_EQ(errorCode(call("token=tok")), "ERROR_UNKNOWN_METHOD");
    EXPECT_EQ(errorCode(call("token=tok&method=getOrders&parameters={oops}")), "ERROR_BAD_PARAMETERS");
    EXPECT_EQ(errorCode(call("token=tok&method=getOrders&parameters={%22status_id%22: %225%22}")),
              "ERROR_BAD_PARAMETERS");
    EXPECT_EQ(errorCode(call("token=tok&method=getOrders&parameters={%22status_id%22: 5.5}")), "ERROR_BAD_PARAMETERS");
    EXPECT_EQ(errorCode(call("token=tok&method=getInvoices&parameters={%22order_id%22: null}")),
              "ERROR_BAD_PARAMETERS");
}

TEST_F(MethodHandlers, ListsStatusesAsStored) {
    std::string reply = handleServiceCall(shop, decodeServiceCall("token=tok&method=getOrderStatusList"));
    EXPECT_EQ(
        reply,
        "{\"status\":\"SUCCESS\",\"statuses\":[{\"id\":5,\"name\":\"Nowe\",\"name_for_customer\":\"Przyj\xC4\x99te\"},"
        "{\"id\":6,\"name\":\"Wys\xC5\x82\x61ne\",\"name_for_customer\":\"\"}]}");
}

TEST_F(MethodHandlers, SelectsOrdersByStatusAndInclusiveDateInDateThenIdOrder) {
    EXPECT_EQ(ids(call("token=tok&method=getOrders&parameters={%22status_id%22: 5}")),
              (std::vector<long long>{10, 20, 30, 5}));
    EXPECT_EQ(ids(call("token=tok&method=getOrders&parameters={%22status_id%22: 5, %22date_confirmed_from%22: 2000}")),
              (std::vector<long long>{30, 5}));
    EXPECT_EQ(ids(call("token=tok&method=getOrders&parameters={%22status_id%22: 5, %22date_confirmed_from%22: 3001}")),
              std::vector<long long>{});
    EXPECT_EQ(ids(call("token=tok&method=getOrders&parameters={%22status_id%22: 77}")), std::vector<long long>{});
    EXPECT_EQ(ids(call("token=tok&method=getOrders")), (std::vector<long long>{10, 20, 40, 30, 5}));
    EXPECT_EQ(ids(call("token=tok&method=getOrders&parameters={%22date_confirmed_from%22: 1500}")),
              (std::vector<long long>{40, 30, 5}));
}

TEST_F(MethodHandlers, SendsOrdersAsStored) {
    std::string reply =
        handleServiceCall(shop, decodeServiceCall("token=tok&method=getOrders&parameters={%22status_id%22: 6}"));
    EXPECT_EQ(reply,
              "{\"status\":\"SUCCESS\",\"orders\":[{\"order_id\":40,\"order_status_id\":6,"
              "\"date_confirmed\":1500,\"delivery_price\":12.50}]}");
}

TEST_F(MethodHandlers, PagesHoldAtMostOneHundredOrders) {
    std::string text = "{\"token\": \"t\", \"statuses\": [{\"id\": 1}], \"orders\": [";
    for (int i = 0; i < 250; ++i) text += (i ? "," : "") + order(1000 + i, 1, 5000 + i / 3);
    text += "]}";
    std::string error;
    ASSERT_TRUE(loadShopText(text, shop, error)) << error;
    auto first = ids(call("token=t&method=getOrders&parameters={%22status_id%22: 1}"));
    ASSERT_EQ(first.size(), 100u);
    EXPECT_EQ(first.front(), 1000);
    EXPECT_EQ(first.back(), 1099);
    // The next page starts at the last date seen, so orders of that date come again.
    auto second =
        ids(call("token=t&method=getOrders&parameters={%22status_id%22: 1, %22date_confirmed_from%22: 5033}"));
    ASSERT_EQ(second.size(), 100u);
    EXPECT_EQ(second.front(), 1099);
}

TEST_F(MethodHandlers, ListsInvoicesOfOneOrderOrAll) {
    auto count = [](const JsonDocument& reply) { return reply["invoices"].Size(); };
    EXPECT_EQ(count(call("token=tok&method=getInvoices&parameters={%22order_id%22: 20}")), 2u);
    EXPECT_EQ(count(call("token=tok&method=getInvoices&parameters={%22order_id%22: 99}")), 0u);
    EXPECT_EQ(count(call("token=tok&method=getInvoices")), 3u);
    call("token=tok&method=getInvoices&parameters={%22order_id%22: 30}");
    EXPECT_EQ(lastReply,
              "{\"status\":\"SUCCESS\",\"invoices\":[{\"invoice_id\":3,\"order_id\":30,\"number\":\"FV/3\"}]}");
}

TEST_F(MethodHandlers, SetOrderStatusMovesTheOrderBetweenPages) {
    call("token=tok&method=setOrderStatus&parameters={%22order_id%22: 20, %22status_id%22: 6}");
    EXPECT_EQ(lastReply, "{\"status\":\"SUCCESS\"}");
    EXPECT_EQ(ids(call("token=tok&method=getOrders&parameters={%22status_id%22: 5}")),
              (std::vector<long long>{10, 30, 5}));
    JsonDocument moved = call("token=tok&method=getOrders&parameters={%22status_id%22: 6}");
    EXPECT_EQ(ids(moved), (std::vector<long long>{20, 40}));
    // The status is replaced where it stands; the rest stays as stored.
    EXPECT_NE(
        lastReply.find("[{\"order_id\":20,\"order_status_id\":6,\"date_confirmed\":1000,\"delivery_price\":12.50}"),
        std::string::npos);
    // Moving back restores the original order of the page.
    call("token=tok&method=setOrderStatus&parameters={%22order_id%22: 20, %22status_id%22: 5}");
    EXPECT_EQ(ids(call("token=tok&method=getOrders&parameters={%22status_id%22: 5}")),
              (std::vector<long long>{10, 20, 30, 5}));
}

TEST_F(MethodHandlers, SetOrderStatusRefusesUnknownOrdersStatusesAndMissingIds) {
    EXPECT_EQ(errorCode(call("token=tok&method=setOrderStatus&parameters={%22order_id%22: 99, %22status_id%22: 6}")),
              "ERROR_ORDER_NOT_FOUND");
    EXPECT_EQ(errorCode(call("token=tok&method=setOrderStatus&parameters={%22order_id%22: 10, %22status_id%22: 7}")),
              "ERROR_STATUS_NOT_FOUND");
    EXPECT_EQ(errorCode(call("token=tok&method=setOrderStatus&parameters={%22order_id%22: 10}")),
              "ERROR_BAD_PARAMETERS");
    EXPECT_EQ(errorCode(call("token=tok&method=setOrderStatus&parameters={%22status_id%22: 6}")),
              "ERROR_BAD_PARAMETERS");
    EXPECT_EQ(errorCode(call("token=tok&method=setOrderStatus")), "ERROR_BAD_PARAMETERS");
    EXPECT_EQ(ids(call("token=tok&method=getOrders&parameters={%22status_id%22: 6}")), std::vector<long long>{40});
}

TEST_F(MethodHandlers, StateTextIsAShopWithCurrentStatuses) {
    call("token=tok&method=setOrderStatus&parameters={%22order_id%22: 10, %22status_id%22: 6}");
    Shop reloaded;
    std::string error;
    ASSERT_TRUE(loadShopText(shopStateText(shop), reloaded, error)) << error;
    ASSERT_EQ(reloaded.orders.size(), 5u);
    EXPECT_EQ(reloaded.orders[1].orderId, 10);
    EXPECT_EQ(reloaded.orders[1].statusId, 6);
    EXPECT_EQ(reloaded.orders[0].statusId, 5);
    EXPECT_EQ(reloaded.invoices.size(), 3u);
    EXPECT_EQ(reloaded.statusesJson, shop.statusesJson);
}

TEST(ShopLoading, RefusesShopsItCannotServe) {
    Shop shop;
    std::string error;
    const char* bad[] = {
        "[]",
        "{\"statuses\": []}",
        "{\"token\": \"t\", \"orders\": {}}",
        "{\"token\": \"t\", \"orders\": [{\"order_status_id\": 1}]}",
        "{\"token\": \"t\", \"orders\": [{\"order_id\": 1}]}",
        "{\"token\": \"t\", \"orders\": [{\"order_id\": 1, \"order_status_id\": 1, \"date_confirmed\": \"5\"}]}",
        "{\"token\": \"t\", \"orders\": [{\"order_id\": 1, \"order_status_id\": 1}, {\"order_id\": 1, \"order_status_id\": 2}]}",
        "{\"token\": \"t\", \"statuses\": [{\"name\": \"x\"}]}",
        "{\"token\": \"t\", \"invoices\": 3}",
    };
    for (const char* text : bad) {
        error.clear();
        EXPECT_FALSE(loadShopText(text, shop, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    EXPECT_TRUE(loadShopText("{\"token\": \"\"}", shop, error)) << error;
}
