// Every fixed-capacity field that an order's values are copied into, given
// a value one byte longer than it holds and a much longer one: the field
// keeps exactly its first bytes up to the bound, and the field beside it
// keeps its own value. An overflow inside one record is invisible to the
// address sanitizer, so only the written lines show it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hostlink/host_services.h"
#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/order_document.h"
#include "settings/marketgate_status.h"
#include "settings/order_status_list.h"

namespace {

// How far each value goes beyond what its field holds.
const size_t kOverruns[] = {1, 200};

// A text of the given length that begins with start; the rest counts 0-9
// and A-Z over again, so that a cut in the wrong place shows.
std::string marked(const std::string& start, size_t length) {
  static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string text = start.substr(0, length);
  while (text.size() < length) text += kDigits[text.size() % 36];
  return text;
}

// The text of a field, or a mark when its terminator is not inside it.
template <size_t N>
std::string fieldText(const char (&field)[N]) {
  const void* end = std::memchr(field, '\0', N);
  return end != nullptr ? std::string(field) : "<no terminator in the field>";
}

using FieldBoundsTest = ImportTest;

// Tax id (14), customer symbol (16), invoice number (39), shipment symbol
// (19) and the page's current date (11) in the lines of an issue document;
// the order number text beside the customer symbol in the status change.
TEST_F(FieldBoundsTest, OrderTextsKeepTheirFirstBytesUpToTheBoundAndSpareTheirNeighbours) {
  const std::string shipping = marked("WYSYLKA-", 16);
  setOption("SymbolPrzesylki", shipping);
  setStatusPositions(0, 1);
  std::vector<std::string> orders;
  std::string invoices;
  for (size_t i = 0; i < 2; ++i) {
    size_t over = kOverruns[i];
    std::string id = std::to_string(i + 1);
    orders.push_back(orderJson(static_cast<double>(i + 1), {{"invoice_nip", quoted(marked("PL" + id, 14 + over))},
                                                            {"user_login", quoted(marked("login" + id, 16 + over))},
                                                            {"delivery_price", over == 1 ? "9.99" : "1e190"}}));
    invoices += std::string(invoices.empty() ? "" : ",") + "{\"order_id\": " + id +
                ", \"number\": " + quoted(marked("FV/" + id + "/", 39 + over)) + "}";
  }
  startShop(shopJson({}, "[" + invoices + "]"));

  for (size_t dateOver : kOverruns) {
    standin::setCurrentDate(marked("26.12.08/", 11 + dateOver));
    std::string file = translatePage(ordersReply(orders), 4);
    EXPECT_EQ(linesOf(file, "DataSprzed"), std::vector<std::string>(2, "DataSprzed=" + marked("26.12.08/", 11)));
    EXPECT_EQ(linesOf(file, "DataWyst"), std::vector<std::string>(2, "DataWyst=" + marked("26.12.08/", 11)));
    for (size_t i = 0; i < 2; ++i) {
      size_t over = kOverruns[i];
      std::string id = std::to_string(i + 1);
      SCOPED_TRACE("order " + id + ": " + std::to_string(over) + " byte(s) too long");
      EXPECT_EQ(linesOf(file, "Nip").at(i), "Nip=" + marked("PL" + id, 14));
      EXPECT_EQ(linesOf(file, "SymbolKontrahenta").at(i), "SymbolKontrahenta=" + marked("login" + id, 16));
      EXPECT_EQ(linesOf(file, "NrDok").at(i), "NrDok=" + marked("FV/" + id + "/", 39) + "f");
      char amount[400];
      std::snprintf(amount, sizeof amount, "%.2f", over == 1 ? 9.99 : 1e190);
      std::string symbol = (shipping + amount).substr(0, 19);
      EXPECT_EQ(linesOf(file, "Symbol").at(2 * i + 1), "Symbol=" + symbol);
      EXPECT_EQ(linesOf(file, "Indeks").at(2 * i + 1), "Indeks=" + symbol);
      EXPECT_EQ(linesOf(file, "Nazwa").at(2 * i + 1), "Nazwa=Kurier");
    }
  }
  std::vector<std::string> changes;
  for (const std::string& request : requests()) {
    if (request.rfind("setOrderStatus", 0) == 0) changes.push_back(request);
  }
  std::vector<std::string> expected;
  for (int page = 0; page < 2; ++page) {
    for (int id = 1; id <= 2; ++id) {
      expected.push_back("setOrderStatus {\"order_id\":" + std::to_string(id) + ",\"status_id\":102}");
    }
  }
  EXPECT_EQ(changes, expected) << "the order numbers beside the customer symbols";
}

// The page's one-entry rate cache: date (9) beside currency (5) beside the rate.
TEST_F(FieldBoundsTest, RateCacheKeepsTheFirstBytesOfDateAndCurrency) {
  for (size_t over : kOverruns) {
    SCOPED_TRACE(std::to_string(over) + " byte(s) too long");
    PageContext page;
    std::memset(&page, '~', sizeof page);
    // The page's date holds at most 11 bytes itself.
    std::snprintf(page.currentDate, sizeof page.currentDate, "%s", marked("26.12.08", 9 + over).c_str());
    emptyRateCache(page.rates);
    std::string currency = marked("EUR", 5 + over);
    standin::setExchangeRate(currency, 4.5);
    EXPECT_EQ(orderRate(page, currency.c_str()), 4.5);
    EXPECT_EQ(fieldText(page.rates.date), marked("26.12.08", 9));
    EXPECT_EQ(fieldText(page.rates.currency), "EUR34");
    EXPECT_EQ(page.rates.rate, 4.5);
  }
}

// Status names (29) beside the names for customers (49) beside the next
// entry's id, as the dialog's pick list shows them.
TEST_F(FieldBoundsTest, StatusNamesKeepTheirFirstBytesAndSpareTheNextEntry) {
  MarketgateStatus object{};
  std::string reply = "{\"statuses\": [";
  for (size_t i = 0; i < 2; ++i) {
    size_t over = kOverruns[i];
    reply += "{\"id\": " + std::to_string(5 + i) + ", \"name\": " + quoted(marked("Nowe", 29 + over)) +
             ", \"name_for_customer\": " + quoted(marked("Przyjete", 49 + over)) + "}, ";
  }
  reply += "{\"id\": 7, \"name\": \"Wysłane\"}]}";
  ASSERT_EQ(decodeOrderStatusList(object.statusList, reply.c_str()), 0);
  ASSERT_EQ(object.statusList.count, 3);
  for (int16_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(std::to_string(kOverruns[i]) + " byte(s) too long");
    statusItemTextStored(&object, i, 0);
    EXPECT_STREQ(object.itemText, (" " + std::to_string(5 + i) + " - " + marked("Nowe", 29)).c_str());
    EXPECT_EQ(fieldText(object.statusList.statuses[i].name_for_customer), marked("Przyjete", 49));
  }
  statusItemTextStored(&object, 2, 0);
  EXPECT_STREQ(object.itemText, " 7 - Wysłane");
  hostRelease(object.statusList.statuses);
}

}  // namespace
