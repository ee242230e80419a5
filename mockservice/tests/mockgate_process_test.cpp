// mockgate as a running process, started through the shared test helper
// and spoken to over HTTP the way the plug-in speaks to the service.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>

#include <httplib.h>

#include "json_text.h"
#include "mockgate_process.h"

using namespace mockgate;

namespace {

const char* const kShop =
    "{\"token\": \"abc\", \"statuses\": [{\"id\": 5, \"name\": \"Nowe\", \"name_for_customer\": \"\"},"
    " {\"id\": 9, \"name\": \"Wys\xC5\x82\x61ne\", \"name_for_customer\": \"\"}],"
    " \"orders\": [{\"order_id\": 11, \"order_status_id\": 5, \"date_confirmed\": 100, \"email\": \"a@example.pl\"},"
    " {\"order_id\": 12, \"order_status_id\": 5, \"date_confirmed\": 200, \"email\": \"b@example.pl\"}],"
    " \"invoices\": [{\"invoice_id\": 1, \"order_id\": 12, \"number\": \"FV/1\"}]}";

const char* const kFormType = "application/x-www-form-urlencoded";

std::string body(const std::string& method, const std::string& parameters = "") {
    std::string text = "token=abc&method=" + method;
    if (!parameters.empty()) text += "&parameters={" + parameters + "}";
    return text;
}

JsonDocument parsed(const std::string& text) {
    JsonDocument value;
    EXPECT_TRUE(parseJson(text, value)) << text;
    return value;
}

size_t orderCount(httplib::Client& client, int status) {
    auto res =
        client.Post("/connector.php", body("getOrders", "%22status_id%22: " + std::to_string(status)), kFormType);
    if (!res) return size_t(-1);
    return parsed(res->body)["orders"].Size();
}

}  // namespace

TEST(MockgateProcess, AnswersThePluginsRequestsAndLogsThem) {
    MockgateProcess mock;
    ASSERT_TRUE(mock.start(kShop));
    EXPECT_GT(mock.port, 0);
    httplib::Client client("127.0.0.1", mock.port);

    auto statuses = client.Post("/connector.php", body("getOrderStatusList"), kFormType);
    ASSERT_TRUE(statuses);
    EXPECT_EQ(statuses->status, 200);
    EXPECT_EQ(statuses->get_header_value("Content-Type"), "application/json");
    EXPECT_EQ(parsed(statuses->body)["statuses"].Size(), 2u);

    auto orders = client.Post("/connector.php", body("getOrders", "%22status_id%22: 5, %22date_confirmed_from%22: 200"),
                              kFormType);
    ASSERT_TRUE(orders);
    EXPECT_EQ(orders->body,
              "{\"status\":\"SUCCESS\",\"orders\":[{\"order_id\":12,\"order_status_id\":5,"
              "\"date_confirmed\":200,\"email\":\"b@example.pl\"}]}");

    // The log can be read while the server runs.
    auto lines = mock.logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "{\"method\": \"getOrderStatusList\", \"parameters\": null, "
              "\"body\": \"token=abc&method=getOrderStatusList\"}");
    EXPECT_EQ(lines[1],
              "{\"method\": \"getOrders\", \"parameters\": {\"status_id\":5,\"date_confirmed_from\":200}, "
              "\"body\": \"token=abc&method=getOrders&parameters={%22status_id%22: 5, "
              "%22date_confirmed_from%22: 200}\"}");

    auto other = client.Post("/other.php", body("getOrders"), kFormType);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 404);
    EXPECT_TRUE(mock.stop());
}

TEST(MockgateProcess, WritesTheMovedStatusesAtStop) {
    MockgateProcess mock;
    ASSERT_TRUE(mock.start(kShop));
    httplib::Client client("127.0.0.1", mock.port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    auto moved =
        client.Post("/connector.php", body("setOrderStatus", "%22order_id%22: 11, %22status_id%22: 9"), kFormType);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->body, "{\"status\":\"SUCCESS\"}");
    EXPECT_EQ(orderCount(client, 5), 1u);
    EXPECT_EQ(orderCount(client, 9), 1u);
    EXPECT_EQ(mock.stateText(), "");
    ASSERT_TRUE(mock.stop());

    JsonDocument state = parsed(mock.stateText());
    const auto& orders = state["orders"];
    ASSERT_EQ(orders.Size(), 2u);
    EXPECT_EQ(orders[0]["order_status_id"], 9);
    EXPECT_EQ(orders[1]["order_status_id"], 5);
    EXPECT_EQ(state["token"], "abc");
    EXPECT_EQ(state["invoices"].Size(), 1u);
}

TEST(MockgateProcess, ServesAShopFileByPathOverOneKeptAliveConnection) {
    MockgateProcess mock;
    ASSERT_TRUE(mock.start(SAMPLE_SHOP_PATH));
    httplib::Client client("127.0.0.1", mock.port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    // A demo import: every order of the first status is fetched and moved on.
    size_t moved = 0;
    for (int round = 0; round < 10; ++round) {
        auto page = client.Post("/connector.php",
                                "token=demo-token-123&method=getOrders&parameters={%22status_id%22: 101}", kFormType);
        ASSERT_TRUE(page);
        JsonDocument reply = parsed(page->body);
        const auto& orders = reply["orders"];
        if (orders.Empty()) break;
        for (const rapidjson::Value& order : orders.GetArray()) {
            auto res = client.Post("/connector.php",
                                   "token=demo-token-123&method=setOrderStatus&parameters={%22order_id%22: " +
                                       std::to_string(order["order_id"].GetInt64()) + ", %22status_id%22: 102}",
                                   kFormType);
            ASSERT_TRUE(res);
            ASSERT_EQ(res->body, "{\"status\":\"SUCCESS\"}");
            ++moved;
        }
    }
    EXPECT_GT(moved, 20u);
    ASSERT_TRUE(mock.stop());
    EXPECT_EQ(mock.stateText().find("\"order_status_id\":101"), std::string::npos);
}

TEST(MockgateProcess, InjectsEachKindOfFaultOnItsCall) {
    MockgateProcess mock;
    ASSERT_TRUE(
        mock.start(kShop, {"getOrderStatusList:1:http500", "getOrderStatusList:2:drop", "getOrderStatusList:3:garbage",
                           "getOrderStatusList:4:truncated", "getOrderStatusList:5:error",
                           "getOrderStatusList:6:slow:300", "setOrderStatus:1:error"}));
    httplib::Client client("127.0.0.1", mock.port);
    client.set_read_timeout(5, 0);
    auto post = [&] { return client.Post("/connector.php", body("getOrderStatusList"), kFormType); };

    auto failed = post();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 500);
    EXPECT_FALSE(post());  // dropped: no reply at all
    auto garbage = post();
    ASSERT_TRUE(garbage);
    EXPECT_EQ(garbage->status, 200);
    JsonDocument ignored;
    EXPECT_FALSE(parseJson(garbage->body, ignored));
    auto truncated = post();
    ASSERT_TRUE(truncated);
    auto error = post();
    ASSERT_TRUE(error);
    EXPECT_EQ(parsed(error->body)["status"], "ERROR");

    auto started = std::chrono::steady_clock::now();
    auto slow = post();
    auto elapsed = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(slow);
    EXPECT_GE(elapsed, std::chrono::milliseconds(300));
    auto normal = post();
    ASSERT_TRUE(normal);
    EXPECT_EQ(slow->body, normal->body);
    EXPECT_EQ(truncated->body, normal->body.substr(0, normal->body.size() / 2));

    // A failed call changes nothing; the next one goes through.
    auto refused =
        client.Post("/connector.php", body("setOrderStatus", "%22order_id%22: 11, %22status_id%22: 9"), kFormType);
    ASSERT_TRUE(refused);
    EXPECT_EQ(parsed(refused->body)["error_code"], "ERROR_FAULT_INJECTED");
    EXPECT_EQ(orderCount(client, 9), 0u);
    client.Post("/connector.php", body("setOrderStatus", "%22order_id%22: 11, %22status_id%22: 9"), kFormType);
    EXPECT_EQ(orderCount(client, 9), 1u);
    EXPECT_EQ(mock.logLines().size(), 11u);
}

TEST(MockgateProcess, ReportsAShopItCannotServe) {
    MockgateProcess mock;
    EXPECT_FALSE(mock.start("{\"token\": \"t\", \"orders\": [{\"order_id\": 1}]}"));
    EXPECT_FALSE(mock.running());
    EXPECT_FALSE(mock.start(kShop, {"getOrders:0:drop"}));
    EXPECT_TRUE(mock.start(kShop));
    EXPECT_TRUE(mock.stop());
}

// Runs mockgate with the words given (through the shell, standard input
// empty) and returns its exit status; its standard error in *errors. A
// command line that is refused ends at once, before anything is served.
int runRefused(const std::string& words, std::string* errors) {
    std::string command = std::string("timeout 10 ") + MOCKGATE_PATH + " " + words + " 2>&1 >/dev/null </dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[512];
    errors->clear();
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) *errors += buffer;
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MockgateProcess, RefusesAtStartWhatItCouldNotUse) {
    const std::string shop = SAMPLE_SHOP_PATH;
    struct Case {
        std::string words;
        std::string told;
    };
    const Case cases[] = {
        {shop, "give the shop with --data"},
        {"--data /tmp", "is a directory"},
        {"--data /nonexistent-mockgate-dir/shop.json", "names no file"},
        {"--data " + shop + " --state-out /nonexistent-mockgate-dir/state.json", "--state-out"},
        {"--data " + shop + " --state-out /tmp", "is a directory"},
        {"--data " + shop + " --log /nonexistent-mockgate-dir/requests.log", "--log"},
        {"--data " + shop + " --port", "needs a value"},
    };
    for (const Case& test : cases) {
        std::string errors;
        EXPECT_EQ(runRefused(test.words, &errors), 2) << test.words;
        EXPECT_NE(errors.find(test.told), std::string::npos) << test.words << ": " << errors;
    }
}
