// The four service requests over real HTTP to mockgate: the bodies exactly
// as the service receives them, the host call's fixed arguments, the
// replies and who releases them, the notices, and failing requests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "hostlink/host_services.h"
#include "control/host_control.h"
#include "service/service_fixture.h"
#include "service/service_requests.h"

namespace {

using RequestsTest = ServiceTest;

bool noticeShown(const std::string& text) {
  for (const standin::ShownMessage& message : standin::messages()) {
    if (message.kind == "wait" && message.title == "Uwaga" && message.text == text) return true;
  }
  return false;
}

TEST_F(RequestsTest, StatusListIsPostedAsTheHostExpectsAndHandedToTheCaller) {
  ApiSession session = openSession();
  writeWholeFile(session.replyFile, std::string(4000, 'x'));  // an earlier, longer reply
  char* reply = nullptr;
  ASSERT_EQ(requestOrderStatusList(session, &reply), 1);
  ASSERT_NE(reply, nullptr);
  EXPECT_EQ(
      std::string(reply),
      "{\"status\":\"SUCCESS\",\"statuses\":[{\"id\":5,\"name\":\"Nowe\",\"name_for_customer\":\"Przyj\xC4\x99te\"},"
      "{\"id\":9,\"name\":\"Wys\xC5\x82\x61ne\",\"name_for_customer\":\"\"}]}");
  EXPECT_EQ(readWholeFile(session.replyFile), reply) << "the host keeps the reply in the reply file";
  hostRelease(reply);

  EXPECT_EQ(sentBodies(), std::vector<std::string>{"token=abc&method=getOrderStatusList"});
  ASSERT_EQ(standin::httpRequests().size(), 1u);
  const standin::HttpRequestRecord& sent = standin::httpRequests()[0];
  EXPECT_EQ(sent.host, "api.marketgate.pl");
  EXPECT_EQ(sent.path, "connector.php");
  EXPECT_EQ(sent.replyFile, session.replyFile);
  EXPECT_EQ(sent.headers, "Content-Type: application/x-www-form-urlencoded\r\n");
  EXPECT_EQ(sent.verb, "POST");
  const int32_t fixed[8] = {0, 0, 1, 1, 0, 0, 0, 0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(sent.fixed[i], fixed[i]) << i;
  EXPECT_EQ(sent.auxCapacity, 1023);
  EXPECT_TRUE(sent.auxGiven);
  EXPECT_EQ(standin::messages().size(), 0u) << "no notice for the status list";
}

TEST_F(RequestsTest, OrderBodiesCarryStatusAndDateOnlyWhenAStatusIsGiven) {
  ApiSession session = openSession();
  struct Case {
    int32_t status, date;
  } cases[] = {{5, 0}, {3, 1000}, {0, 1000}, {-2, 5}, {7, -1}};
  for (const Case& c : cases) {
    char* reply = nullptr;
    EXPECT_EQ(requestOrders(session, c.status, &reply, c.date), 1);
    EXPECT_NE(reply, nullptr);
    hostRelease(reply);
  }
  std::vector<std::string> expected = {
      "token=abc&method=getOrders&parameters={%22status_id%22: 5}",
      "token=abc&method=getOrders&parameters={%22status_id%22: 3, %22date_confirmed_from%22: 1000}",
      "token=abc&method=getOrders",
      "token=abc&method=getOrders",
      "token=abc&method=getOrders&parameters={%22status_id%22: 7}",
  };
  EXPECT_EQ(sentBodies(), expected);
  EXPECT_TRUE(noticeShown("Pobieranie zamowien z API"));
  EXPECT_EQ(standin::callCount(52028), 5);
  EXPECT_EQ(standin::callCount(52064), 5);
  EXPECT_FALSE(standin::waitNoticeShown());
}

TEST_F(RequestsTest, StatusChangeBodiesNameOnlyPositiveIdsAndReleaseTheReply) {
  ApiSession session = openSession();
  struct Case {
    int32_t status;
    const char* orderId;
  } cases[] = {{0, "123"}, {7, "abc"}, {0, "0"}, {9, "  123xyz"}, {9, "-15"}, {0, nullptr}, {9, "99999999999"}};
  for (const Case& c : cases) EXPECT_EQ(requestSetOrderStatus(session, c.status, c.orderId), 1);
  std::vector<std::string> expected = {
      "token=abc&method=setOrderStatus&parameters={%22order_id%22: 123}",
      "token=abc&method=setOrderStatus&parameters={%22status_id%22: 7}",
      "token=abc&method=setOrderStatus",
      "token=abc&method=setOrderStatus&parameters={%22order_id%22: 123, %22status_id%22: 9}",
      "token=abc&method=setOrderStatus&parameters={%22status_id%22: 9}",
      "token=abc&method=setOrderStatus",
      "token=abc&method=setOrderStatus&parameters={%22order_id%22: 2147483647, %22status_id%22: 9}",
  };
  EXPECT_EQ(sentBodies(), expected);
  EXPECT_TRUE(noticeShown("Trwa zmiana statusu zamowienia na platformie Marketgate"));
  EXPECT_FALSE(standin::waitNoticeShown());
  // Every reply was released by the request itself (checked by the fixture).
}

TEST_F(RequestsTest, InvoiceNumberIsTheFirstNonEmptyOneOfTheOrder) {
  ApiSession session = openSession();
  char number[40];
  std::memset(number, 'x', sizeof number);
  EXPECT_EQ(requestInvoiceNumber(session, number, sizeof number, 77.0), 1);
  EXPECT_STREQ(number, "FV/77/2024");

  std::memset(number, 'x', sizeof number);
  EXPECT_EQ(requestInvoiceNumber(session, number, sizeof number, 12.0), 1);
  EXPECT_STREQ(number, "") << "an order without invoices";
  EXPECT_EQ(requestInvoiceNumber(session, number, sizeof number, 0.0), 1);
  EXPECT_STREQ(number, "FV/77/2024") << "without an order id the service lists every invoice";
  EXPECT_EQ(requestInvoiceNumber(session, number, sizeof number, std::nan("")), 1);

  std::vector<std::string> expected = {
      "token=abc&method=getInvoices&parameters={%22order_id%22: 77}",
      "token=abc&method=getInvoices&parameters={%22order_id%22: 12}",
      "token=abc&method=getInvoices",
      "token=abc&method=getInvoices",
  };
  EXPECT_EQ(sentBodies(), expected);
  ASSERT_FALSE(standin::httpRequests().empty());
  EXPECT_EQ(standin::httpRequests()[0].replyFile, session.invoiceReplyFile);
  EXPECT_EQ(standin::messages().size(), 0u);
}

// A number longer than the caller's buffer is cut to fit it.
TEST_F(RequestsTest, LongInvoiceNumberIsCutToTheBuffer) {
  ApiSession session = openSession();
  char area[60];
  std::memset(area, '#', sizeof area);
  char* number = area + 10;  // 40 bytes, with guard bytes on both sides
  EXPECT_EQ(requestInvoiceNumber(session, number, 40, 78.0), 1);
  EXPECT_EQ(std::string(number), std::string("FV/2024/12/000000078/MAGAZYN-GLOWNY/KOREKTA").substr(0, 39));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(area[i], '#') << i;
  for (int i = 50; i < 60; ++i) EXPECT_EQ(area[i], '#') << i;

  char tiny[1] = {'x'};
  EXPECT_EQ(requestInvoiceNumber(session, tiny, 1, 78.0), 1);
  EXPECT_EQ(tiny[0], '\0');
}

// The key goes into the body percent-encoded, a plain one byte for byte,
// also at its full 299 characters, and one of 299 marks is not cut.
TEST_F(RequestsTest, KeyIsSentPercentEncoded) {
  storeKey("a b+c");
  ApiSession session = openSession();
  EXPECT_EQ(requestSetOrderStatus(session, 9, "123"), 1);
  char* reply = nullptr;
  for (char fill : {'k', '&'}) {
    std::memset(session.apiKey, fill, sizeof session.apiKey - 1);
    session.apiKey[sizeof session.apiKey - 1] = '\0';
    EXPECT_EQ(requestOrders(session, 5, &reply, 1000), 1);
    hostRelease(reply);
  }
  std::vector<std::string> bodies = sentBodies();
  ASSERT_EQ(bodies.size(), 3u);
  EXPECT_EQ(bodies[0], "token=a%20b%2Bc&method=setOrderStatus&parameters={%22order_id%22: 123, %22status_id%22: 9}");
  const std::string parameters = "&method=getOrders&parameters={%22status_id%22: 5, %22date_confirmed_from%22: 1000}";
  EXPECT_EQ(bodies[1], "token=" + std::string(299, 'k') + parameters);
  std::string marks;
  for (int i = 0; i < 299; ++i) marks += "%26";
  EXPECT_EQ(bodies[2], "token=" + marks + parameters);
}

TEST_F(RequestsTest, UnreachableServiceFailsEveryRequestAndTakesTheNoticeDown) {
  standin::setServiceBaseUrl("http://127.0.0.1:1");
  ApiSession session = openSession();
  char* reply = reinterpret_cast<char*>(&session);
  EXPECT_EQ(requestOrderStatusList(session, &reply), 0);
  EXPECT_EQ(reply, nullptr);
  EXPECT_EQ(requestOrders(session, 5, &reply, 0), 0);
  EXPECT_FALSE(standin::waitNoticeShown());
  EXPECT_EQ(requestSetOrderStatus(session, 9, "123"), 0);
  EXPECT_FALSE(standin::waitNoticeShown());
  EXPECT_EQ(standin::callCount(52028), 2);
  EXPECT_EQ(standin::callCount(52064), 2);
  char number[40] = "old";
  EXPECT_EQ(requestInvoiceNumber(session, number, sizeof number, 77.0), 0);
  EXPECT_STREQ(number, "");
  EXPECT_EQ(standin::messages().size(), 2u) << "only the two notices; failures are reported by the callers";
}

// The host's side of a reply: kept in the named file (none when the session
// has no path), handed over as host memory, a failure when either fails.
TEST_F(RequestsTest, ReplyThatTheHostCannotStoreIsAFailure) {
  ApiSession session = openSession();
  char* reply = nullptr;
  standin::failNthAllocation(1);
  EXPECT_EQ(requestOrderStatusList(session, &reply), 0);
  EXPECT_EQ(reply, nullptr);

  std::strcpy(session.replyFile, (workDir.path() + "/missing/marketgate.tmp").c_str());
  EXPECT_EQ(requestOrderStatusList(session, &reply), 0);
  EXPECT_EQ(reply, nullptr);

  session.replyFile[0] = '\0';
  EXPECT_EQ(requestOrderStatusList(session, &reply), 1);
  ASSERT_NE(reply, nullptr);
  hostRelease(reply);
  EXPECT_EQ(sentBodies().size(), 3u);
}

TEST_F(RequestsTest, HostWithoutHttpFunctionFailsTheRequest) {
  ApiSession session = openSession();
  standin::withholdOrdinal(51757);
  resetHostBinding();
  char* reply = nullptr;
  EXPECT_EQ(requestOrders(session, 5, &reply, 0), 0);
  EXPECT_EQ(reply, nullptr);
  EXPECT_FALSE(standin::waitNoticeShown());
  standin::clearWithheldOrdinals();
  resetHostBinding();
}

// Failures of the service itself, from a mockgate of their own.
class ServiceFaultsTest : public HostFixture {
 protected:
  void TearDown() override {
    standin::setServiceBaseUrl("");
    HostFixture::TearDown();
  }
};

TEST_F(ServiceFaultsTest, ErrorStatusesAndBrokenRepliesAreToldApart) {
  MockgateProcess faulty;
  ASSERT_TRUE(faulty.start(kTestShop, {"getOrders:1:http500", "setOrderStatus:1:drop", "getInvoices:1:garbage",
                                       "getInvoices:2:truncated", "getOrderStatusList:1:error"}));
  standin::setServiceBaseUrl(faulty.baseUrl());
  standin::scriptTextInput("abc");
  ApiSession session;
  openApiSession(session);

  char* reply = nullptr;
  EXPECT_EQ(requestOrders(session, 5, &reply, 0), 0) << "HTTP 500";
  EXPECT_EQ(reply, nullptr);
  EXPECT_FALSE(standin::waitNoticeShown());
  EXPECT_EQ(requestSetOrderStatus(session, 9, "123"), 0) << "connection dropped";
  EXPECT_FALSE(standin::waitNoticeShown());

  char number[40] = "old";
  EXPECT_EQ(requestInvoiceNumber(session, number, sizeof number, 77.0), 1) << "not JSON, still a reply";
  EXPECT_STREQ(number, "");
  EXPECT_EQ(requestInvoiceNumber(session, number, sizeof number, 77.0), 1) << "cut short";
  EXPECT_STREQ(number, "");
  EXPECT_EQ(requestInvoiceNumber(session, number, sizeof number, 77.0), 1);
  EXPECT_STREQ(number, "FV/77/2024");

  EXPECT_EQ(requestOrderStatusList(session, &reply), 1) << "a service error is a reply like any other";
  ASSERT_NE(reply, nullptr);
  EXPECT_NE(std::string(reply).find("ERROR_FAULT_INJECTED"), std::string::npos);
  hostRelease(reply);
}

}  // namespace
