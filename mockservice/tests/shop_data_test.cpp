// The generated shops and the sample shop: both load, and hold what
// imports, benchmarks and the demo rely on.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "shop.h"
#include "shop_generator.h"

using namespace mockgate;

namespace {

std::string generate(long long orders, long long statusId, unsigned long long seed) {
    ShopGenOptions options;
    options.orders = orders;
    options.statusId = statusId;
    options.seed = seed;
    std::string text;
    generateShop(options, [&](const std::string& piece) { text += piece; });
    return text;
}

JsonDocument parsed(const ShopOrder& order) {
    JsonDocument data;
    EXPECT_TRUE(parseJson(order.json, data)) << order.json;
    return data;
}

// A string member, or a whole number's digits.
std::string member(const rapidjson::Value& object, const char* name) {
    if (!object.HasMember(name)) return "<missing>";
    const rapidjson::Value& value = object[name];
    return value.IsString() ? value.GetString() : value.IsInt64() ? std::to_string(value.GetInt64()) : "<other>";
}

}  // namespace

TEST(ShopGenerator, MakesAServableShopOfRealisticSize) {
    const long long count = 2000;
    std::string text = generate(count, 101, 7);
    Shop shop;
    std::string error;
    ASSERT_TRUE(loadShopText(text, shop, error)) << error;
    ASSERT_EQ(shop.orders.size(), size_t(count));
    EXPECT_EQ(shop.token, "demo-token-123");
    double perOrder = double(text.size()) / double(count);
    EXPECT_GT(perOrder, 1200);
    EXPECT_LT(perOrder, 2000);
    EXPECT_EQ(shop.ordersByStatus[101].size(), size_t(count));
    EXPECT_FALSE(shop.invoices.empty());
    for (const ShopInvoice& invoice : shop.invoices) EXPECT_TRUE(shop.orderPosition.count(invoice.orderId));
}

TEST(ShopGenerator, ConfirmationDatesRiseWithShortRunsOfEqualValues) {
    Shop shop;
    std::string error;
    ASSERT_TRUE(loadShopText(generate(3000, 101, 3), shop, error)) << error;
    int run = 1, longest = 1, runs = 0;
    for (size_t i = 1; i < shop.orders.size(); ++i) {
        double previous = shop.orders[i - 1].dateConfirmed, current = shop.orders[i].dateConfirmed;
        ASSERT_GE(current, previous);
        EXPECT_GT(shop.orders[i].orderId, shop.orders[i - 1].orderId);
        if (current == previous) {
            if (++run == 2) ++runs;
        } else {
            run = 1;
        }
        longest = std::max(longest, run);
    }
    EXPECT_GT(runs, 100);
    EXPECT_LE(longest, kMaxEqualDateRun);
    EXPECT_GT(longest, 2);
}

TEST(ShopGenerator, SeedDecidesTheShopAndStatusIdIsListed) {
    EXPECT_EQ(generate(50, 101, 11), generate(50, 101, 11));
    EXPECT_NE(generate(50, 101, 11), generate(50, 101, 12));
    Shop shop;
    std::string error;
    ASSERT_TRUE(loadShopText(generate(20, 555, 1), shop, error)) << error;
    EXPECT_TRUE(statusExists(shop, 555));
    EXPECT_TRUE(statusExists(shop, 101));
    EXPECT_EQ(shop.ordersByStatus[555].size(), 20u);
}

TEST(ShopGenerator, OrdersCarryEveryMemberTheImportReads) {
    Shop shop;
    std::string error;
    ASSERT_TRUE(loadShopText(generate(300, 101, 5), shop, error)) << error;
    const char* texts[] = {"email",
                           "phone",
                           "delivery_fullname",
                           "delivery_company",
                           "delivery_address",
                           "delivery_postcode",
                           "delivery_city",
                           "delivery_country_code",
                           "currency",
                           "want_invoice",
                           "invoice_fullname",
                           "invoice_company",
                           "invoice_nip",
                           "invoice_address",
                           "invoice_postcode",
                           "invoice_city",
                           "invoice_country_code",
                           "user_login",
                           "delivery_method"};
    const char* numbers[] = {"order_id",           "date_add",     "delivery_price",
                             "payment_method_cod", "payment_done", "date_confirmed"};
    std::set<std::string> currencies;
    int cod = 0, taxIds = 0;
    for (const ShopOrder& stored : shop.orders) {
        JsonDocument order = parsed(stored);
        for (const char* name : texts) ASSERT_TRUE(order.HasMember(name) && order[name].IsString()) << name;
        for (const char* name : numbers) ASSERT_TRUE(order.HasMember(name) && order[name].IsNumber()) << name;
        ASSERT_TRUE(order.HasMember("products") && order["products"].IsArray() && !order["products"].Empty());
        for (const rapidjson::Value& p : order["products"].GetArray()) {
            for (const char* name : {"sku", "ean", "name"}) ASSERT_TRUE(p.HasMember(name) && p[name].IsString());
            for (const char* name : {"quantity", "price_brutto", "tax_rate"})
                ASSERT_TRUE(p.HasMember(name) && p[name].IsNumber());
        }
        currencies.insert(member(order, "currency"));
        cod += member(order, "payment_method_cod") == "1";
        taxIds += !member(order, "invoice_nip").empty();
    }
    EXPECT_EQ(currencies, (std::set<std::string>{"EUR", "PLN"}));
    EXPECT_GT(cod, 10);
    EXPECT_GT(taxIds, 30);
}

TEST(SampleShop, OffersAVariedDemoImport) {
    Shop shop;
    std::string error;
    ASSERT_TRUE(loadShopFile(SAMPLE_SHOP_PATH, shop, error)) << error;
    ASSERT_GE(shop.statusIds.size(), 4u);
    EXPECT_EQ(shop.token, "demo-token-123");
    long long first = shop.statusIds[0];
    EXPECT_GT(shop.ordersByStatus[first].size(), shop.orders.size() / 2);
    std::map<std::string, int> seen;
    for (const ShopOrder& stored : shop.orders) {
        JsonDocument order = parsed(stored);
        ++seen["currency " + member(order, "currency")];
        ++seen["want_invoice " + member(order, "want_invoice")];
        ++seen[member(order, "invoice_nip").empty() ? "no tax id" : "tax id"];
        ++seen["cod " + member(order, "payment_method_cod")];
        ++seen["delivery " + member(order, "delivery_method")];
        ++seen[order["products"].Size() > 1 ? "several products" : "one product"];
        for (const rapidjson::Value& p : order["products"].GetArray()) ++seen["tax " + member(p, "tax_rate")];
    }
    for (const char* wanted : {"currency PLN", "currency EUR", "want_invoice 1", "want_invoice 0", "no tax id",
                               "tax id", "cod 1", "cod 0", "several products", "tax 23", "tax 8", "tax 5"})
        EXPECT_GT(seen[wanted], 0) << wanted;
    EXPECT_FALSE(shop.invoices.empty());
    for (const ShopInvoice& invoice : shop.invoices) {
        ShopOrder* order = findOrder(shop, invoice.orderId);
        ASSERT_TRUE(order);
        EXPECT_FALSE(member(parsed(*order), "invoice_nip").empty());
    }
}
