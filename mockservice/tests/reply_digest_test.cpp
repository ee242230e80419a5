// mockgate's replies, request log and state file, byte for byte: a fixed
// conversation with the sample shop and with a generated 10,000-order shop
// (paging every status, moving orders on, asking for invoices, refused
// calls) must give the same bytes as recorded (with mockgate's earlier,
// hand-written JSON reader and writer), whatever it reads and writes JSON with.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>

#include <httplib.h>

#include "json_text.h"
#include "mockgate_process.h"
#include "shop_generator.h"

using namespace mockgate;

namespace {

struct Digests {
    std::string replies, log, state;
};

std::string digest(const std::string& bytes) {  // FNV-1a, 64 bits, and the length
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 0x100000001b3ull;
    char text[48];
    std::snprintf(text, sizeof text, "%016" PRIx64 "/%zu", hash, bytes.size());
    return text;
}

Digests converse(const std::string& shopText) {
    JsonDocument shopDocument;
    EXPECT_TRUE(parseJson(shopText, shopDocument));
    std::string token = shopDocument["token"].GetString();
    MockgateProcess mock;
    EXPECT_TRUE(mock.start(shopText));
    httplib::Client client("127.0.0.1", mock.port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    std::string replies;
    auto post = [&](const std::string& body) {
        auto res = client.Post("/connector.php", body, "application/x-www-form-urlencoded");
        std::string reply = res ? res->body : "<no reply>";
        replies += body + "\n" + reply + "\n";
        return reply;
    };
    auto call = [&](const std::string& method, const std::string& parameters = "") {
        return post("token=" + token + "&method=" + method +
                    (parameters.empty() ? "" : "&parameters={" + parameters + "}"));
    };

    JsonDocument statusList;
    parseJson(call("getOrderStatusList"), statusList);
    std::vector<std::string> statuses;
    for (const auto& status : statusList["statuses"].GetArray())
        statuses.push_back(std::to_string(status["id"].GetInt64()));
    call("getInvoices");
    int moved = 0;
    statuses.push_back("");  // all statuses
    for (const std::string& status : statuses) {
        std::string from;
        for (;;) {
            std::string parameters = status.empty() ? "" : "%22status_id%22: " + status;
            if (!from.empty())
                parameters += (parameters.empty() ? "" : ", ") + std::string("%22date_confirmed_from%22: ") + from;
            JsonDocument page;
            parseJson(call("getOrders", parameters), page);
            const auto& orders = page["orders"];
            for (rapidjson::SizeType i = 0; i < orders.Size() && i < 3; ++i) {
                std::string id = std::to_string(orders[i]["order_id"].GetInt64());
                call("getInvoices", "%22order_id%22: " + id);
                if (!status.empty() && moved++ < 300)
                    call("setOrderStatus",
                         "%22order_id%22: " + id + ", %22status_id%22: " + statuses[statuses.size() - 2]);
            }
            if (orders.Size() < 100) break;
            std::string last = std::to_string(orders[orders.Size() - 1]["date_confirmed"].GetInt64());
            from = last == from ? std::to_string(std::stoll(last) + 1) : last;
        }
    }
    for (const char* body : {"token=bad&method=getOrders", "method=getOrders", "token=x"}) post(body);
    call("nope");
    for (const char* parameters :
         {"%22status_id%22: 1.5", "%22status_id%22: %22x%22", "%22order_id%22: 999999999",
          "%22a%22: [1, 2.50, -0, 1E%2B3, {%22b%22: %22\\u0105\\n\\t\\/%22}], %22c%22: %22\xC5\x82%22"})
        call("setOrderStatus", parameters);
    post("token=" + token + "&method=getOrders&parameters=[1]");
    post("token=" + token + "&method=getOrders&parameters=");

    EXPECT_TRUE(mock.stop());
    std::string log;
    for (const std::string& line : mock.logLines()) log += line + "\n";
    return {digest(replies), digest(log), digest(mock.stateText())};
}

void expectDigests(const Digests& got, const Digests& recorded) {
    EXPECT_EQ(got.replies, recorded.replies);
    EXPECT_EQ(got.log, recorded.log);
    EXPECT_EQ(got.state, recorded.state);
}

}  // namespace

TEST(ReplyBytes, SampleShopConversationIsUnchanged) {
    std::FILE* file = std::fopen(SAMPLE_SHOP_PATH, "rb");
    ASSERT_TRUE(file);
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    expectDigests(converse(text), {"88113caf6dff85ad/163029", "07b09e3fbf159090/6449", "627cf8196ce03559/49674"});
}

TEST(ReplyBytes, GeneratedShopConversationIsUnchanged) {
    ShopGenOptions options;
    options.orders = 10000;
    options.seed = 13;
    std::string text;
    generateShop(options, [&](const std::string& piece) { text += piece; });
    EXPECT_EQ(digest(text), "4d473d10bdb7f8b0/16312121");
    expectDigests(converse(text),
                  {"5844bbca8ab1dd99/33758554", "b347e5d5590876f0/193637", "48923c9981b35052/16310306"});
}
