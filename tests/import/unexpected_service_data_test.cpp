// The import against a service whose data is not what the plug-in expects:
// a status list that changed or comes in another order, orders it cannot
// carry faithfully, invoice lookups that fail, a service that stops
// answering, and more orders of one moment than a page holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/import_run.h"
#include "import/order_translation.h"
#include "import/refused_orders.h"
#include "options/ini_files.h"

namespace {

const char kStatusGone[] =
    "Wybrany status zam\xA2wie\xA4 do importu nie istnieje ju\xA7 w Marketgate. "
    "Wybierz go ponownie w opcjach importu.";
const char kStoppedEarly[] =
    "Import zam\xA2wie\xA4 przerwany: serwis Marketgate nie odpowiada poprawnie. "
    "Zam\xA2wienia pobrane do tej chwili zostan\x86 zaimportowane.";
const char kRefused[] =
    "Pomini\x91to zam\xA2wienia, kt\xA2rych nie mo\xA7na wiernie przenie\x9E\x8D (b\x92\x91"
    "dny numer "
    "zam\xA2wienia albo b\x92\x91"
    "dna liczba): %s. Numery podane przez Marketgate: %s. Zostaj\x86 w swoim "
    "statusie w Marketgate, dop\xA2ki nie zostan\x86 tam poprawione.";
const char kInvoicesNotFetched[] =
    "Nie uda\x92o si\x91 pobra\x8D z Marketgate numer\xA2w faktur zam\xA2wie\xA4: %s. Ich dokumenty "
    "zapisano z numerem zam\xA2wienia.";
const char kMomentOverflow[] =
    "Marketgate ma wi\x91"
    "cej zam\xA2wie\xA4 potwierdzonych w tej samej chwili, ni\xA7 podaje w jednej "
    "odpowiedzi: cz\x91\x9E\x8D z nich nie zosta\x92"
    "a pobrana. Zaimportowano zam\xA2wie\xA4: %s.";
const char kPushesWaiting[] =
    "Nie uda\x92o si\x91 zmieni\x8D statusu zaimportowanych zam\xA2wie\xA4 w Marketgate: 1. Zmiana zostanie "
    "ponowiona przy nast\x91pnym imporcie.";

// A message with its "%s" places filled in order.
std::string filled(const char* message, const std::vector<std::string>& values) {
  std::string text = message;
  for (const std::string& value : values) text.replace(text.find("%s"), 2, value);
  return text;
}

const char kOutgoingStatusGone[] =
    "Status, na kt\xA2ry maj\x86 przechodzi\x8D zaimportowane zam\xA2wienia, nie istnieje ju\xA7 w Marketgate. "
    "Wybierz go ponownie w opcjach importu.";

std::string status(int id, const char* name) {
  return "{\"id\": " + std::to_string(id) + ", \"name\": \"" + name + "\", \"name_for_customer\": \"\"}";
}

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

std::string shopWith(const std::vector<std::string>& statuses, const std::vector<std::string>& orders,
                     const std::string& invoices = "[]") {
  return "{\"token\": \"tok\", \"statuses\": [" + joined(statuses) + "], \"orders\": [" + joined(orders) +
         "], \"invoices\": " + invoices + "}";
}

class UnexpectedDataTest : public ImportTest {
 protected:
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> texts;
    for (const standin::ShownMessage& message : standin::messages()) {
      if (message.kind == "message") texts.push_back(message.text);
    }
    return texts;
  }
  // Order numbers of the imported documents (customer records carry none).
  static std::vector<std::string> importedOrderNumbers() {
    std::vector<std::string> numbers;
    for (const standin::StoredDocument& document : standin::storedDocuments()) {
      if (!document.orderNumber.empty()) numbers.push_back(document.orderNumber);
    }
    return numbers;
  }
  // What a save in the dialog leaves: positions and the ids beside them.
  void chooseStatuses(int incomingPosition, int incomingId, int outgoingPosition, int outgoingId) {
    setStatusPositions(incomingPosition, outgoingPosition);
    std::string ini = workDir.file("marketgate.ini");
    ASSERT_TRUE(standin::iniWrite(ini, "Statusy", "StatusWe", std::to_string(incomingId)));
    ASSERT_TRUE(standin::iniWrite(ini, "Statusy", "StatusWy", std::to_string(outgoingId)));
  }
  static std::vector<std::string> ordersIn(int statusId, int first, int count) {
    std::vector<std::string> orders;
    for (int i = 0; i < count; ++i) {
      orders.push_back(orderJson(first + i, {{"order_status_id", std::to_string(statusId)},
                                             {"date_confirmed", std::to_string(3000 + first + i)}}));
    }
    return orders;
  }
};

// Saved with "Nowe" (101) imported and "W realizacji" (102) given: a status
// added at the top, and a list answered backwards (also to every push),
// still import 101's orders and move them to 102; the new status's orders
// stay where they are.
TEST_F(UnexpectedDataTest, ChosenStatusesAreFoundByTheirIdsWhereverTheListPutsThem) {
  setOption("ZamowieniaCzyParagony", "1");
  chooseStatuses(0, 101, 1, 102);
  std::vector<std::string> orders = ordersIn(101, 500, 3);
  for (const std::string& order : ordersIn(105, 600, 2)) orders.push_back(order);
  const std::vector<std::string> grown = {status(105, "Reklamacje"), status(101, "Nowe"), status(102, "W realizacji"),
                                          status(103, "Wyslane")};
  struct Case {
    const char* name;
    std::vector<std::string> faults;
  };
  const Case cases[] = {{"status added at the top", {}},
                        {"list in another order", {"getOrderStatusList:1+:reordered"}}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    standin::clearMessages();
    forgetStoredDocuments();
    startShop(shopWith(grown, orders), test.faults);
    runOrderImport();
    EXPECT_EQ(importedOrderNumbers(), (std::vector<std::string>{"500", "501", "502"}));
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
    EXPECT_EQ(requests()[1], "getOrders {\"status_id\":101}");
    EXPECT_EQ(ordersInStatus(102), 3);
  }
  forgetStoredDocuments();
  // A file written by hand, without the ids, goes by the positions.
  writeWholeFile(workDir.file("marketgate.ini"),
                 "[API]\r\nKey=tok\r\n[Opcje]\r\nZamowieniaCzyParagony=1\r\n[Statusy]\r\nStatusWePoz=0\r\n"
                 "StatusWyPoz=1\r\n");
  startShop(shopWith(grown, orders));
  runOrderImport();
  EXPECT_EQ(importedOrderNumbers(), (std::vector<std::string>{"600", "601"}));
  EXPECT_EQ(ordersInStatus(105), 0);
}

// A chosen id the list no longer holds stops the run before anything is
// written or moved, whatever its stored position names now.
TEST_F(UnexpectedDataTest, ChosenIdRemovedFromTheListStopsTheRunBeforeTheFile) {
  setOption("ZamowieniaCzyParagony", "1");
  const std::vector<std::string> statuses = {status(102, "W realizacji"), status(103, "Wyslane"),
                                             status(104, "Anulowane")};
  struct Case {
    const char* name;
    int incomingId, outgoingId;
    const char* told;
  };
  const Case cases[] = {{"incoming", 101, 103, kStatusGone}, {"outgoing", 102, 107, kOutgoingStatusGone}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    standin::clearMessages();
    standin::clearCalls();
    chooseStatuses(0, test.incomingId, 1, test.outgoingId);
    startShop(shopWith(statuses, ordersIn(102, 500, 2)));
    runOrderImport();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{test.told});
    EXPECT_EQ(requests(), std::vector<std::string>{"getOrderStatusList"});
    EXPECT_EQ(standin::callCount(52534), 0) << "no file opened";
    EXPECT_EQ(standin::callCount(52401), 0) << "nothing handed over";
    EXPECT_EQ(ordersInStatus(102), 2);
  }
}

// One page holding a good order and one each of what cannot be carried: only
// the good order is written and moved; the others are named by their ids as
// sent (a long one cut), and nothing of them reaches the file or the service.
TEST_F(UnexpectedDataTest, OrdersThatCannotBeCarriedAreNeitherWrittenNorMoved) {
  startShop(shopJson({}));
  setStatusPositions(0, 1);
  const std::string price = "[" + productJson({{"price_brutto", "\"10\""}}) + "]";
  const std::string huge = "[" + productJson({{"price_brutto", "1e999"}}) + "]";
  std::string reply = ordersReply(
      {orderJson(1), orderJson(2147483648.0), "{\"order_id\": 9007199254740993, \"products\": []}", orderJson(-5),
       orderJson(12.5, {{"order_id", "12.5"}}), orderJson(0, {{"order_id", "\"77\""}}),
       orderJson(0, {{"order_id", ""}}), orderJson(9, {{"products", price}}), orderJson(10, {{"products", huge}}),
       orderJson(11, {{"delivery_price", "[1]"}}), orderJson(0, {{"order_id", "\"ABCDEFGHIJKLMNOPQRSTUVWXYZ\""}})});
  std::string path = workDir.file("page.edi");
  std::FILE* file = std::fopen(path.c_str(), "w");
  ASSERT_NE(file, nullptr);
  SeenOrders seen;
  int32_t next = 0;
  EXPECT_EQ(translateOrders(reply.c_str(), file, 4, 0, &next, &seen), 0);
  std::fclose(file);
  EXPECT_EQ(linesOf(readTextFile(path), "Uwagi"), std::vector<std::string>{"Uwagi=Zam:1;Email:klient@example.pl"});
  EXPECT_EQ(seen.written, std::vector<std::string>{"1"});
  EXPECT_EQ(requests(),
            (std::vector<std::string>{"getOrderStatusList", "setOrderStatus {\"order_id\":1,\"status_id\":102}"}));
  EXPECT_EQ(seen.refused,
            (std::vector<std::string>{"2147483648", "9007199254740993", "-5", "12.5", "\"77\"", "(brak numeru)", "9",
                                      "10", "11", "\"ABCDEFGHIJKLMNOPQRSTUVWXYZ\""}));
  EXPECT_EQ(shownOrderNames({seen.refused.back(), "9"}), "\"ABCDEFGHIJKLMNOPQRSTUVW..., 9");
}

// Through the whole run: refused orders are told at the end, stay in their
// status, and are refused again at the next import; the register of booked
// orders stays readable.
TEST_F(UnexpectedDataTest, RefusedOrdersAreToldAndRefusedAgainAtEveryImport) {
  setOption("ZamowieniaCzyParagony", "1");
  chooseStatuses(0, 101, 1, 102);
  std::vector<std::string> orders = ordersIn(101, 500, 3);
  const std::vector<std::pair<std::string, std::vector<Member>>> bad = {
      {"2147483648", {}},
      {"9007199254740993", {}},
      {"-5", {}},
      {"503", {{"products", "[" + productJson({{"price_brutto", "\"10\""}}) + "]"}}}};
  int date = 4000;
  for (const auto& [id, changes] : bad) {
    std::vector<Member> members = changes;
    members.push_back({"order_id", id});
    members.push_back({"date_confirmed", std::to_string(date++)});
    orders.push_back(orderJson(0, members));
  }
  const std::string told = filled(kRefused, {"4", "2147483648, 9007199254740993, -5, 503"});
  startShop(shopJson(orders));
  runOrderImport();
  EXPECT_EQ(importedOrderNumbers(), (std::vector<std::string>{"500", "501", "502"}));
  EXPECT_EQ(messageTexts(), std::vector<std::string>{told});
  std::vector<std::string> sent = requests();
  EXPECT_EQ(
      std::count_if(sent.begin(), sent.end(), [](const std::string& r) { return r.rfind("setOrderStatus", 0) == 0; }),
      3);
  mock->stop();
  startShop(mock->stateText());
  standin::clearMessages();
  runOrderImport();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{told});
  EXPECT_EQ(importedOrderNumbers().size(), 3u);
  EXPECT_EQ(ordersInStatus(101), 4);
}

// An invoice lookup that fails in any way (an HTTP error, an answer that is
// no invoice list, the service's error, no answer) writes the document with
// the order number and names the order; an answer without an invoice does
// not. No answer also ends the run after that order.
TEST_F(UnexpectedDataTest, FailedInvoiceLookupsAreNamedAtTheEnd) {
  setOption("ZamowieniaCzyParagony", "1");
  chooseStatuses(0, 101, 1, 102);
  std::vector<std::string> orders;
  for (int i = 0; i < 6; ++i) {
    orders.push_back(orderJson(
        600 + i,
        {{"date_confirmed", std::to_string(5000 + i)}, {"invoice_nip", "\"5261040828\""}, {"want_invoice", "\"1\""}}));
  }
  startShop(shopJson(orders),
            {"getInvoices:1:http500", "getInvoices:2:garbage", "getInvoices:3:error", "getInvoices:5:drop"});
  runOrderImport();
  EXPECT_EQ(importedOrderNumbers(), (std::vector<std::string>{"600", "601", "602", "603", "604"}));
  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{kStoppedEarly, filled(kInvoicesNotFetched, {"600, 601, 602, 604"})}));
  EXPECT_EQ(linesOf(lastImportedFile(), "NrDok").front(), "NrDok=600");
  EXPECT_EQ(ordersInStatus(101), 1);
}

// The service stops answering in the middle of a page: the run makes no
// request after the one that got no answer (one time-out, not one per order
// left), hands over what it wrote and keeps the change not made.
TEST_F(UnexpectedDataTest, ServiceThatStopsAnsweringMidPageEndsTheRunAtOnce) {
  setOption("ZamowieniaCzyParagony", "1");
  chooseStatuses(0, 101, 1, 102);
  startShop(shopJson(ordersIn(101, 700, 6)), {"setOrderStatus:3+:drop", "getOrderStatusList:5+:drop"});
  runOrderImport();
  std::vector<std::string> sent = requests();
  EXPECT_EQ(sent.back(), "setOrderStatus {\"order_id\":702,\"status_id\":102}");
  EXPECT_EQ(sent.size(), 8u) << "the list, one page and two requests for each of three orders";
  EXPECT_EQ(importedOrderNumbers(), (std::vector<std::string>{"700", "701", "702"}));
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{kStoppedEarly, kPushesWaiting}));
  EXPECT_NE(readWholeFile(workDir.file("marketgate-statusy.txt")).find("702 102"), std::string::npos);
  EXPECT_EQ(ordersInStatus(101), 4);
}

// A full page of customer orders of one confirmation time, and a next page
// bringing nothing new: the user learns that some orders of that moment
// could not be fetched, and how many were imported.
TEST_F(UnexpectedDataTest, MoreOrdersOfOneMomentThanAPageHoldsAreTold) {
  std::vector<std::string> orders;
  for (int i = 0; i < 150; ++i) orders.push_back(orderJson(800 + i, {{"date_confirmed", "6000"}}));
  startShop(shopJson(orders));
  runOrderImport();
  EXPECT_EQ(requestCount("getOrders"), 2);
  EXPECT_EQ(importedOrderNumbers().size(), 100u);
  EXPECT_EQ(messageTexts(), std::vector<std::string>{filled(kMomentOverflow, {"100"})});
}

}  // namespace
