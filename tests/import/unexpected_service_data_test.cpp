// The import against a service whose data is not what the plug-in expects:
// a status list that changed or comes in another order, orders it cannot
// carry faithfully, invoice lookups that fail, a service that stops
// answering, and more orders of one moment than a page holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/import_run.h"
#include "options/ini_files.h"

namespace {

const char kStatusGone[] =
    "Wybrany status zam\xA2wie\xA4 do importu nie istnieje ju\xA7 w Marketgate. "
    "Wybierz go ponownie w opcjach importu.";
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
  // Empties the stand-in's document store (an SQLite database; a text file
  // on Windows) and the plug-in's register of what it booked there.
  void forgetStoredDocuments() {
    std::remove(workDir.file("marketgate-zaimportowane.txt").c_str());
#ifdef _WIN32
    std::remove(workDir.file("tomiks-documents.txt").c_str());
#else
    std::remove(workDir.file(standin::kDocumentDatabase).c_str());
#endif
  }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> texts;
    for (const standin::ShownMessage& message : standin::messages()) {
      if (message.kind == "message") texts.push_back(message.text);
    }
    return texts;
  }
  static std::vector<std::string> importedOrderNumbers() {
    std::vector<std::string> numbers;
    for (const standin::StoredDocument& document : standin::storedDocuments()) numbers.push_back(document.orderNumber);
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
  const std::vector<std::string> grown = {status(105, "Reklamacje"), status(101, "Nowe"),
                                          status(102, "W realizacji"), status(103, "Wyslane")};
  struct Case {
    const char* name;
    std::vector<std::string> faults;
  };
  const Case cases[] = {{"status added at the top", {}}, {"list in another order", {"getOrderStatusList:1+:reordered"}}};
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

}  // namespace
