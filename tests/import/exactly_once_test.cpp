// Every order in the books exactly once, across runs and failures: an
// import with one fault of the service followed by a healthy one, a
// service that goes down for good, customer orders imported twice, an
// import already running, files left by a crash or refused by the host, a
// damaged register, and a failed push of a handled document.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "frame/table_hooks.h"
#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/import_run.h"
#include "platform/file_lock.h"

namespace {

const char kImportRunning[] = "Import zam\xA2wie\xA4 z Marketgate jest ju\xA7 uruchomiony";
const char kPushesWaiting[] = "Nie uda\x92o si\x91 zmieni\x8D statusu zaimportowanych zam\xA2wie\xA4 w Marketgate: ";
const char kSkipped[] = "Pomini\x91to zam\xA2wienia zaimportowane ju\xA7 wcze\x9Eniej: ";
const char kStoppedEarly[] = "Import zam\xA2wie\xA4 przerwany: serwis Marketgate nie odpowiada poprawnie.";
const char kRegister[] = "marketgate-zaimportowane.txt";
const char kJournal[] = "marketgate-statusy.txt";
const char kHistory[] = "marketgate-historia.txt";

class ExactlyOnceTest : public ImportTest {
 protected:
  // count orders of status 101 from order 8000 on; every third wants an
  // invoice, so that the import also asks for invoice numbers.
  static std::string shop(int count) {
    std::vector<std::string> orders;
    for (int i = 0; i < count; ++i) {
      std::vector<Member> changes = {{"date_confirmed", std::to_string(3000 + i)}};
      if (i % 3 == 0) changes.insert(changes.end(), {{"invoice_nip", "\"5261040828\""}, {"want_invoice", "\"1\""}});
      orders.push_back(orderJson(8000 + i, changes));
    }
    return shopJson(orders);
  }
  // Receipts and invoices that move their orders from 101 to 102.
  void takeOrdersOver() {
    setOption("ZamowieniaCzyParagony", "1");
    setStatusPositions(0, 1);
  }
  // The service again, with its orders as the last one left them.
  void restartService(const std::vector<std::string>& faults = {}) {
    mock->stop();
    std::string state = mock->stateText();
    ASSERT_FALSE(state.empty());
    startShop(state, faults);
  }
  void forgetEverything() {
    for (const char* name : {kRegister, kJournal, standin::kDocumentStoreFile}) {
      std::remove(workDir.file(name).c_str());
    }
    standin::clearMessages();
  }
  // How many stored documents each order has.
  static std::map<std::string, int> bookings() {
    std::map<std::string, int> count;
    for (const standin::StoredDocument& document : standin::storedDocuments()) ++count[document.orderNumber];
    return count;
  }
  static void expectEachBookedOnce(int count) {
    std::map<std::string, int> booked = bookings();
    for (int i = 0; i < count; ++i) EXPECT_EQ(booked[std::to_string(8000 + i)], 1) << "order " << 8000 + i;
    EXPECT_EQ(booked.size(), static_cast<size_t>(count));
  }
  std::vector<std::string> messagesWith(const std::string& start) const {
    std::vector<std::string> found;
    for (const standin::ShownMessage& message : standin::messages()) {
      if (message.kind == "message" && message.text.rfind(start, 0) == 0) found.push_back(message.text);
    }
    return found;
  }
  // Files the plug-in set aside under a dated name ("marketgate-2...").
  std::vector<std::string> keptAside(const std::string& extension) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(workDir.path())) {
      std::string name = entry.path().filename().string();
      if (name.rfind("marketgate-", 0) == 0 && entry.path().extension() == extension && name != kRegister &&
          name != kJournal && name != kHistory) {
        names.push_back(name);
      }
    }
    return names;
  }
};

// One fault in the first import, then a healthy second import against the
// same service: each order lands in exactly one document and has moved on.
// A page that fails three times in a row ends the first import after its
// first page; the others fail a single call of five orders.
TEST_F(ExactlyOnceTest, OneFaultThenAHealthyImportBooksEveryOrderOnce) {
  struct Case {
    std::vector<std::string> faults;
    int orders;
    bool pushFails;
  };
  const Case cases[] = {
      {{"setOrderStatus:2:http500"}, 5, true},
      {{"setOrderStatus:2:drop"}, 5, true},
      {{"setOrderStatus:2:garbage"}, 5, true},
      {{"setOrderStatus:2:truncated"}, 5, true},
      {{"setOrderStatus:2:error"}, 5, true},
      {{"getOrderStatusList:3:http500"}, 5, true},  // the status list of order 8001's push
      {{"getOrderStatusList:3:garbage"}, 5, true},
      {{"getOrders:1:http500"}, 5, false},
      {{"getOrders:1:drop"}, 5, false},
      {{"getOrders:1:garbage"}, 5, false},
      {{"getOrders:1:truncated"}, 5, false},
      {{"getOrders:1:error"}, 5, false},
      {{"getOrders:2:http500", "getOrders:3:drop", "getOrders:4:error"}, 101, false},
      {{"getInvoices:1:http500"}, 5, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.faults.back());
    forgetEverything();
    startShop(shop(test.orders), test.faults);
    takeOrdersOver();
    runOrderImport();
    EXPECT_EQ(messagesWith(kPushesWaiting).size(), test.pushFails ? 1u : 0u);
    runOrderImport();
    expectEachBookedOnce(test.orders);
    EXPECT_EQ(ordersInStatus(101), 0);
    EXPECT_FALSE(std::filesystem::exists(workDir.file(kJournal)));
  }
}

// The service goes down for good during the first import (its statuses,
// status changes, invoices and further pages all fail): after the first
// request that gets no answer (order 8057's invoice, the 20th) no further
// order is taken over and nothing more is asked; a healthy import follows.
TEST_F(ExactlyOnceTest, ServiceDownForGoodThenHealthyImportLosesAndDoublesNothing) {
  startShop(shop(110),
            {"getOrderStatusList:81+:drop", "setOrderStatus:80+:drop", "getOrders:2+:drop", "getInvoices:20+:drop"});
  takeOrdersOver();
  runOrderImport();
  EXPECT_EQ(bookings().size(), 58u) << "the orders up to 8057 arrived";
  EXPECT_EQ(requests().back(), "getInvoices {\"order_id\":8057}");
  EXPECT_EQ(messagesWith(kStoppedEarly).size(), 1u);
  restartService();
  standin::clearMessages();
  runOrderImport();
  EXPECT_TRUE(messagesWith(kPushesWaiting).empty());
  expectEachBookedOnce(110);
  EXPECT_EQ(ordersInStatus(101), 0);
}

// Customer orders keep their status: the register keeps them out of the
// second import, unless the user turned it off.
TEST_F(ExactlyOnceTest, CustomerOrdersAreBookedOnceUnlessTheRegisterIsOff) {
  startShop(shop(5));
  runOrderImport();
  runOrderImport();
  expectEachBookedOnce(5);
  EXPECT_EQ(messagesWith(kSkipped), (std::vector<std::string>{std::string(kSkipped) + "5."}));
  std::string entries = readTextFile(workDir.file(kRegister));
  EXPECT_NE(entries.find("\n8004 "), std::string::npos) << entries;

  setOption("PomijajZaimportowane", "0");
  runOrderImport();
  EXPECT_EQ(bookings()["8004"], 2);
}

// A register entry ends a year after its order was last met; a damaged
// register is reported and set aside, and what could be read still counts.
TEST_F(ExactlyOnceTest, RegisterEntriesEndAfterAYearAndADamagedRegisterIsSetAside) {
  startShop(shop(3));
  writeWholeFile(
      workDir.file(kRegister),
      "8000 2020-01-01 2020-01-01\n8001 2026-01-01 2099-01-01\nzepsuty wiersz\n9999 2020-01-01 2020-01-01\n");
  runOrderImport();
  std::vector<std::string> told = messagesWith("Plik ");
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("uszkodzony"), std::string::npos);
  EXPECT_EQ(keptAside(".txt").size(), 1u);
  std::map<std::string, int> booked = bookings();
  EXPECT_EQ(booked.count("8001"), 0u) << "its entry was read";
  EXPECT_EQ(booked["8000"], 1) << "its entry is too old to count";
  std::string entries = readTextFile(workDir.file(kRegister));
  EXPECT_EQ(entries.find("9999"), std::string::npos) << "not met for a year: gone";
  EXPECT_NE(entries.find("8001 2026-01-01 "), std::string::npos);
}

// Another import of the working directory holds the lock: this one ends
// before it asks the service anything.
TEST_F(ExactlyOnceTest, ImportAlreadyRunningEndsAtOnce) {
  startShop(shop(3));
  FileLock other{-1, 0};
  ASSERT_EQ(tryLockFile(workDir.file("marketgate.lock").c_str(), other), LockResult::Taken);
  runOrderImport();
  EXPECT_EQ(messagesWith(kImportRunning).size(), 1u);
  EXPECT_TRUE(requests().empty());
  EXPECT_EQ(standin::callCount(52534), 0);
  unlockFile(other);
  runOrderImport();
  expectEachBookedOnce(3);
}

// A file a crashed host left, and a file the universal import refused, are
// kept under a dated name; the refused file's orders come again: customer
// orders were never moved, taken-over ones go back through the journal.
// The healthy import that follows books every order once.
TEST_F(ExactlyOnceTest, RefusedHandOffSendsItsOrdersBackAndTheNextImportBooksThemOnce) {
  startShop(shop(4));
  writeWholeFile(workDir.file("marketgate.edi"), "[Info]\nz poprzedniego importu\n");
  standin::setUniversalImportFails(true);
  runOrderImport();
  std::vector<std::string> kept = keptAside(".edi");
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(messagesWith("Plik marketgate.edi z przerwanego").size(), 1u);
  std::vector<std::string> refused = messagesWith("Import uniwersalny nie przyj\x86\x92");
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0].find("pobrane ponownie"), std::string::npos) << "customer orders come again";
  EXPECT_FALSE(std::filesystem::exists(workDir.file("marketgate.edi")));
  EXPECT_FALSE(std::filesystem::exists(workDir.file(kRegister)));
  EXPECT_TRUE(standin::storedDocuments().empty());

  standin::setUniversalImportFails(false);
  runOrderImport();
  expectEachBookedOnce(4);

  forgetEverything();
  restartService();
  takeOrdersOver();
  standin::setUniversalImportFails(true);
  runOrderImport();
  refused = messagesWith("Import uniwersalny nie przyj\x86\x92");
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0].find("(4) wr\xA2"
                            "c\x86"),
            std::string::npos)
      << refused[0];
  EXPECT_EQ(keptAside(".edi").size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(workDir.file("marketgate-przejete.txt")));
  standin::setUniversalImportFails(false);
  runOrderImport();
  expectEachBookedOnce(4);
  EXPECT_EQ(ordersInStatus(101), 0);
  EXPECT_EQ(ordersInStatus(102), 4);
}

// A run cut short took order 8001 over (it stands in 102 now) but never
// began its hand-off: the order goes back and is imported again, whether
// its file is still there or someone removed it.
TEST_F(ExactlyOnceTest, OrdersOfAnInterruptedRunGoBackAndAreImportedOnce) {
  for (bool fileLeft : {true, false}) {
    SCOPED_TRACE(fileLeft ? "file left" : "file gone");
    forgetEverything();
    startShop(shopJson({orderJson(8000), orderJson(8001, {{"order_status_id", "102"}}), orderJson(8002)}));
    takeOrdersOver();
    writeWholeFile(workDir.file("marketgate-przejete.txt"), "8001 101\n8002 0\n");
    if (fileLeft) writeWholeFile(workDir.file("marketgate.edi"), "[Info]\n");
    runOrderImport();
    EXPECT_FALSE(std::filesystem::exists(workDir.file("marketgate-przejete.txt")));
    expectEachBookedOnce(3);
    EXPECT_EQ(requests()[1], "setOrderStatus {\"order_id\":8001,\"status_id\":101}");
    EXPECT_EQ(ordersInStatus(102), 3);
  }
}

// A run whose hand-off began: when its file is gone the host took it, and
// its orders are booked. When the file is still there nobody knows: its
// orders are entered as booked, never imported again, and the user told
// which orders and which file to import only if their documents are missing.
TEST_F(ExactlyOnceTest, OrdersOfARunCutShortDuringItsHandOffAreNeverBookedTwice) {
  for (bool fileLeft : {false, true}) {
    SCOPED_TRACE(fileLeft ? "file left" : "file gone");
    forgetEverything();
    startShop(shopJson({orderJson(8000), orderJson(8001, {{"order_status_id", "102"}}), orderJson(8002)}));
    takeOrdersOver();
    writeWholeFile(workDir.file("marketgate-przejete.txt"), "8001 101\n8002 0\nprzekazanie\n");
    if (fileLeft) writeWholeFile(workDir.file("marketgate.edi"), "[Info]\n");
    runOrderImport();
    EXPECT_FALSE(std::filesystem::exists(workDir.file("marketgate-przejete.txt")));
    std::map<std::string, int> booked = bookings();
    EXPECT_EQ(booked.size(), 1u);
    EXPECT_EQ(booked["8000"], 1);
    for (const std::string& request : requests())
      EXPECT_EQ(request.find("\"order_id\":8001,\"status_id\":101"), std::string::npos);
    std::string entries = readTextFile(workDir.file(kRegister));
    EXPECT_NE(entries.find("\n8001 "), std::string::npos);
    EXPECT_NE(entries.find("\n8002 "), std::string::npos);
    std::vector<std::string> told = messagesWith("Poprzedni import zam\xA2wie\xA4 przerwano");
    ASSERT_EQ(told.size(), fileLeft ? 1u : 0u);
    if (!fileLeft) continue;
    EXPECT_NE(told[0].find("(2: 8001, 8002)"), std::string::npos) << told[0];
    std::vector<std::string> kept = keptAside(".edi");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].rfind("marketgate-byc-moze-zaimportowany-", 0), 0u) << kept[0];
    EXPECT_NE(told[0].find(kept[0]), std::string::npos);
    EXPECT_NE(readTextFile(workDir.file(kHistory)).find("\n  Niepewne, import uniwersalny przerwany (2): 8001, 8002\n"),
              std::string::npos);
    for (const std::string& name : kept) std::remove(workDir.file(name).c_str());
  }
}

// The host's file functions fail as on a full disk at several points of
// the import file (its header, the first order's head, the middle, its
// last byte): nothing is handed over, no status moves after the failure,
// the orders moved go back, and two imports with room book each order once.
TEST_F(ExactlyOnceTest, ImportFileThatCouldNotBeWrittenIsNeverHandedOver) {
  startShop(shop(5));
  takeOrdersOver();
  runOrderImport();
  ASSERT_FALSE(lastImportedFile().empty());
  const int64_t whole = static_cast<int64_t>(lastImportedFile().size());
  for (int64_t limit : {int64_t{1}, int64_t{60}, whole / 2, whole - 1}) {
    SCOPED_TRACE("bytes: " + std::to_string(limit));
    forgetEverything();
    startShop(shop(5));
    int handOffs = standin::callCount(52401);
    standin::setWriteFailsAfter(limit);
    runOrderImport();
    standin::setWriteFailsAfter(-1);
    std::vector<std::string> told = messagesWith("Nie uda\x92o si\x91 zapisa\x8D pliku marketgate.edi (brak miejsca");
    ASSERT_EQ(told.size(), 1u) << (standin::messages().empty() ? "" : standin::messages().back().text);
    EXPECT_EQ(standin::callCount(52401), handOffs) << "not handed over";
    EXPECT_TRUE(standin::storedDocuments().empty());
    std::vector<std::string> kept = keptAside(".edi");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].rfind("marketgate-niekompletny-", 0), 0u) << kept[0];
    std::remove(workDir.file(kept[0]).c_str());
    int moved = requestCount("setOrderStatus");
    EXPECT_LE(moved, limit < whole / 2 ? 1 : 5);
    if (moved > 0) {
      EXPECT_NE(told[0].find("(" + std::to_string(moved) +
                             ") wr\xA2"
                             "c\x86"),
                std::string::npos)
          << told[0];
    }
    runOrderImport();
    runOrderImport();
    expectEachBookedOnce(5);
    EXPECT_EQ(ordersInStatus(101), 0);
  }
}

// A handled document whose push fails is kept and told once; the next
// import moves it before its first page and does not book it again. A
// change that keeps failing is given up and the user told which order.
TEST_F(ExactlyOnceTest, FailedPushOfAHandledDocumentIsRepeatedByTheNextImport) {
  startShop(shop(3), {"setOrderStatus:1:http500", "setOrderStatus:3:error"});
  runOrderImport();
  setStatusPositions(0, 2);
  resetTableHookState();
  ASSERT_EQ(installTableHooks(), 0);
  standin::ListSelection selection = standin::listSelection(standin::kListTableNumber, 1);
  standin::callTableOperation(standin::kListTableNumber, 17408, 801, 0, selection.recordArray, 0, selection.listView);
  restoreTableHooks();
  EXPECT_EQ(messagesWith("Nie uda\x92o si\x91 zmieni\x8D statusu zam\xA2wienia 8001 ").size(), 1u);
  EXPECT_NE(readTextFile(workDir.file(kJournal)).find("\n8001 103 "), std::string::npos);

  std::string journal = readTextFile(workDir.file(kJournal));
  writeWholeFile(workDir.file(kJournal), journal + "8002 103 2026-01-01 9\n");
  standin::clearMessages();
  runOrderImport();
  std::vector<std::string> given = messagesWith(
      "Po 10 nieudanych pr\xA2"
      "bach");
  ASSERT_EQ(given.size(), 1u);
  EXPECT_NE(given[0].find(": 8002."), std::string::npos) << given[0];
  EXPECT_FALSE(std::filesystem::exists(workDir.file(kJournal)));
  expectEachBookedOnce(3);
  EXPECT_EQ(ordersInStatus(103), 1);
}

}  // namespace
