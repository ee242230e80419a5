// The import run end to end against mockgate: the page loop with its
// inclusive date bound, status changes, the service's faults during an
// import, and the runs that end before a file is made.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "control/host_control.h"
#include "options/ini_files.h"
#include "import/import_fixture.h"
#include "import/import_run.h"
#include "frame/table_hooks.h"

namespace {

const char kOrdersFailed[] = "Pobieranie zam\xA2wie\xA4 nie powiod\x92o si\x91.";
const char kStoppedEarly[] =
    "Import zam\xA2wie\xA4 przerwany: serwis Marketgate nie odpowiada poprawnie. "
    "Zam\xA2wienia pobrane do tej chwili zostan\x86 zaimportowane.";
const char kStatusListFailed[] = "Pobieranie listy status\xA2w nie powiod\x92o si\x91";
const char kHeader[] = "[Info]\nProgram=Marketgate\nKodowanie=Windows 1250\n\n";
// The line under a failure's message that names its cause.
const char kUnreachable[] =
    "Nie mo\xA7na po\x92\x86"
    "czy\x8D si\x91 z serwisem Marketgate. Sprawd\xA6 po\x92\x86"
    "czenie z internetem i adres serwisu.";
const char kHttp500[] = "Serwis Marketgate odpowiedzia\x92 kodem HTTP 500.";
const char kHttp429[] = "Serwis Marketgate odpowiedzia\x92 kodem HTTP 429.";
const char kInjectedError[] =
    "Serwis Marketgate zg\x92osi\x92 b\x92\x86"
    "d: Injected fault (ERROR_FAULT_INJECTED).";
const char kKeyRefused[] = "Serwis Marketgate nie przyj\x86\x92 klucza do API: Invalid token (ERROR_BAD_TOKEN).";
const char kUnreadable[] = "Odpowied\xA6 serwisu Marketgate jest nieczytelna.";
const char kNoStatuses[] =
    "Serwis Marketgate nie poda\x92 \xA7"
    "adnego statusu zam\xA2wie\xA4.";

std::string withCause(const char* message, const std::string& cause) { return message + ("\n" + cause); }

class ImportRunTest : public ImportTest {
 protected:
  // count orders in status 101; orders 98 to 101 share one confirmation
  // date, so the order that ends the first page opens the second.
  static std::vector<std::string> shopOrders(int count) {
    std::vector<std::string> orders;
    for (int i = 0; i < count; ++i) {
      int date = i >= 98 && i <= 101 ? 2098 : 2000 + i;
      orders.push_back(orderJson(7000 + i, {{"date_confirmed", std::to_string(date)}}));
    }
    return orders;
  }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> texts;
    for (const standin::ShownMessage& message : standin::messages()) {
      if (message.kind == "message") texts.push_back(message.text);
    }
    return texts;
  }
  // Order numbers of the imported documents, in order.
  static std::vector<std::string> importedOrderNumbers() {
    std::vector<std::string> numbers;
    for (const standin::StoredDocument& document : standin::storedDocuments()) numbers.push_back(document.orderNumber);
    return numbers;
  }
  static std::vector<std::string> expectedNumbers(int first, int count) {
    std::vector<std::string> numbers;
    for (int i = 0; i < count; ++i) numbers.push_back(std::to_string(first + i));
    return numbers;
  }
  bool importFileLeft() const {
    struct stat info;
    return stat(workDir.file("marketgate.edi").c_str(), &info) == 0;
  }
};

TEST_F(ImportRunTest, ThreePagesWithTheBoundaryOrderWrittenOnce) {
  startShop(shopJson(shopOrders(250)));
  EXPECT_EQ(runOrderImport(), 0);
  EXPECT_EQ(requests(), (std::vector<std::string>{"getOrderStatusList", "getOrders {\"status_id\":101}",
                                                  "getOrders {\"status_id\":101,\"date_confirmed_from\":2098}",
                                                  "getOrders {\"status_id\":101,\"date_confirmed_from\":2197}"}));
  EXPECT_EQ(importedOrderNumbers(), expectedNumbers(7000, 250));
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_FALSE(importFileLeft());
  EXPECT_EQ(standin::callCount(52401), 1);
  // The wait notice of each page tells how far the import has come.
  std::vector<std::string> progress;
  for (const standin::ShownMessage& message : standin::messages()) {
    if (message.kind == "wait" && message.text.rfind("Pobieranie zamowien z API\n", 0) == 0) {
      progress.push_back(message.text.substr(message.text.find('\n') + 1));
    }
  }
  EXPECT_EQ(progress,
            (std::vector<std::string>{"Pobrano stron: 0, zam\xA2wie\xA4: 0", "Pobrano stron: 1, zam\xA2wie\xA4: 100",
                                      "Pobrano stron: 2, zam\xA2wie\xA4: 198"}));
}

TEST_F(ImportRunTest, TakenOverOrdersMoveOnAndAreImportedOnce) {
  startShop(shopJson(shopOrders(250)));
  setOption("ZamowieniaCzyParagony", "1");
  setStatusPositions(0, 1);
  runOrderImport();
  EXPECT_EQ(requestCount("getOrders"), 3);
  EXPECT_EQ(requestCount("setOrderStatus"), 250);
  EXPECT_EQ(importedOrderNumbers(), expectedNumbers(7000, 250));
  EXPECT_EQ(ordersInStatus(102), 250);
}

// Customer orders are not taken over at once; their rows in the "Tspr"
// list carry the order number, and handling a row later moves its order.
TEST_F(ImportRunTest, ImportedDocumentsCarryTheirOrderForALaterStatusPush) {
  startShop(shopJson(shopOrders(3)));
  setStatusPositions(0, 2);
  runOrderImport();
  EXPECT_EQ(requestCount("setOrderStatus"), 0);
  for (int row = 0; row < 3; ++row) {
    ASSERT_NE(standin::tableRecord(standin::kListTableNumber, row), nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(standin::tableRecord(standin::kListTableNumber, row) + 2),
                 std::to_string(7000 + row).c_str());
  }
  resetTableHookState();
  ASSERT_EQ(installTableHooks(), 0);
  standin::ListSelection selection = standin::listSelection(standin::kListTableNumber, 1);
  standin::callTableOperation(standin::kListTableNumber, 17408, 801, 0, selection.recordArray, 0, selection.listView);
  restoreTableHooks();
  EXPECT_EQ(requests().back(), "setOrderStatus {\"order_id\":7001,\"status_id\":103}");
  EXPECT_EQ(ordersInStatus(103), 1);
}

TEST_F(ImportRunTest, CancelledDialogMakesNoFileAndSaysNothing) {
  startShop(shopJson(shopOrders(3)));
  standin::setQuietMode(false);
  standin::scriptDialogAnswers("button=ESC");
  runOrderImport();
  EXPECT_EQ(requests(), (std::vector<std::string>{"getOrderStatusList"}));
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_EQ(standin::callCount(52534), 0);
  EXPECT_EQ(standin::callCount(52401), 0);
}

// The user's choices in the dialog decide the import; an interactive host
// pauses twice and is told afterwards which documents were imported.
TEST_F(ImportRunTest, ConfirmedDialogImportsWithTheChosenOptions) {
  startShop(shopJson(shopOrders(3)));
  standin::setQuietMode(false);
  standin::scriptDialogAnswers("StatusWePoz=0\nStatusWyPoz=1\nZamowieniaCzyParagony=4\nbutton=F12");
  runOrderImport();
  EXPECT_EQ(requestCount("setOrderStatus"), 3);
  std::vector<standin::StoredDocument> documents = standin::storedDocuments();
  ASSERT_EQ(documents.size(), 3u);
  EXPECT_EQ(documents[0].registerName, "WZ");
  EXPECT_EQ(standin::callCount(34699), 1);
  for (const standin::CallRecord& call : standin::calls()) {
    if (call.ordinal == 34699) {
      EXPECT_EQ(call.detail, "805");
    }
  }
  EXPECT_EQ(ordersInStatus(102), 3);
}

TEST_F(ImportRunTest, FullPageOfOneConfirmationDateEndsTheLoop) {
  std::vector<std::string> orders;
  for (int i = 0; i < 120; ++i) orders.push_back(orderJson(100 + i, {{"date_confirmed", "5000"}}));
  startShop(shopJson(orders));
  runOrderImport();
  EXPECT_EQ(requestCount("getOrders"), 2);
  EXPECT_EQ(importedOrderNumbers(), expectedNumbers(100, 100));
}

TEST_F(ImportRunTest, StatusWithoutOrdersImportsTheHeaderAlone) {
  startShop(shopJson({}));
  runOrderImport();
  EXPECT_EQ(lastImportedFile(), kHeader);
  EXPECT_TRUE(standin::storedDocuments().empty());
  EXPECT_FALSE(importFileLeft());
}

// One failure of the orders request that brought an answer is repeated for
// the same page (after a pause), and the user told its cause; a page that
// got no answer at all ends the run with what it has.
TEST_F(ImportRunTest, SingleFaultsAreRepeatedAndEveryOrderArrives) {
  const std::pair<const char*, const char*> faults[] = {
      {"http500", kHttp500},     {"http429", kHttp429}, {"garbage", kUnreadable}, {"truncated", kUnreadable},
      {"error", kInjectedError}, {"slow:300", nullptr}, {"drop", kUnreachable}};
  for (const auto& [kind, told] : faults) {
    SCOPED_TRACE(kind);
    forgetStoredDocuments();
    standin::clearMessages();
    startShop(shopJson(shopOrders(150)), {std::string("getOrders:2:") + kind});
    runOrderImport();
    bool slow = std::string(kind).rfind("slow", 0) == 0;
    bool drop = std::string(kind) == "drop";
    EXPECT_EQ(requestCount("getOrders"), slow || drop ? 2 : 3);
    EXPECT_EQ(importedOrderNumbers(), expectedNumbers(7000, drop ? 100 : 150));
    std::vector<std::string> messages;
    if (told) messages.push_back(withCause(kOrdersFailed, told));
    if (drop) messages.push_back(kStoppedEarly);
    EXPECT_EQ(messageTexts(), messages);
    mock->stop();
  }
}

TEST_F(ImportRunTest, ThreeFailuresOfAPageStopTheRunButKeepWhatWasTakenOver) {
  startShop(shopJson(shopOrders(150)), {"getOrders:2:http500", "getOrders:3:garbage", "getOrders:4:drop"});
  setOption("ZamowieniaCzyParagony", "4");
  setStatusPositions(0, 2);
  runOrderImport();
  EXPECT_EQ(requestCount("getOrders"), 4);
  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{withCause(kOrdersFailed, kHttp500), withCause(kOrdersFailed, kUnreadable),
                                      withCause(kOrdersFailed, kUnreachable), kStoppedEarly}));
  EXPECT_EQ(importedOrderNumbers(), expectedNumbers(7000, 100));
  EXPECT_EQ(standin::callCount(52401), 1);
  EXPECT_FALSE(importFileLeft());
  EXPECT_EQ(ordersInStatus(103), 100);
}

TEST_F(ImportRunTest, ServiceThatNeverAnswersStillGetsTheFileImported) {
  startShop(shopJson(shopOrders(5)), {"getOrders:1:http500", "getOrders:2:http500", "getOrders:3:http500"});
  runOrderImport();
  EXPECT_EQ(requestCount("getOrders"), 3);
  std::string failed = withCause(kOrdersFailed, kHttp500);
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{failed, failed, failed, kStoppedEarly}));
  EXPECT_EQ(lastImportedFile(), kHeader);
}

// Every way the status list can fail ends the run before the dialog, with
// the message and a line naming the cause; the saved positions stay.
TEST_F(ImportRunTest, FailedStatusListEndsTheRunWithItsCauseBeforeTheDialog) {
  const char* const kEmptyShop = "{\"token\": \"tok\", \"statuses\": [], \"orders\": [], \"invoices\": []}";
  struct Case {
    const char* name;
    std::string shop;
    std::string fault;
    std::string cause;
  };
  const Case cases[] = {
      {"http500", shopJson(shopOrders(5)), "getOrderStatusList:1:http500", kHttp500},
      {"error", shopJson(shopOrders(5)), "getOrderStatusList:1:error", kInjectedError},
      {"garbage", shopJson(shopOrders(5)), "getOrderStatusList:1:garbage", kUnreadable},
      {"empty list", kEmptyShop, "", kNoStatuses},
      {"unreachable", shopJson(shopOrders(5)), "", kUnreachable},
      // The reply file's path is the host's (its separators too).
      {"reply not stored", shopJson(shopOrders(5)), "", "Nie mo\xA7na zapisa\x8D pliku odpowiedzi "},
  };
  standin::setQuietMode(false);
  setStatusPositions(1, 2);
  const std::string options = readWholeFile(workDir.file("marketgate.ini"));
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    standin::clearMessages();
    standin::clearCalls();
    startShop(test.shop, test.fault.empty() ? std::vector<std::string>{} : std::vector<std::string>{test.fault});
    std::string cause = test.cause;
    if (cause == kUnreachable) standin::setServiceBaseUrl("http://127.0.0.1:1");
    bool blockReply = std::string(test.name) == "reply not stored";
    if (blockReply) {
      std::filesystem::remove(workDir.file("marketgate.tmp"));
      ASSERT_TRUE(std::filesystem::create_directory(workDir.file("marketgate.tmp")));
    }
    standin::scriptDialogAnswers("button=F12");
    runOrderImport();
    if (blockReply) std::filesystem::remove(workDir.file("marketgate.tmp"));
    standin::clearDialogAnswers();
    ASSERT_EQ(messageTexts().size(), 1u);
    const std::string shown = messageTexts()[0];
    if (blockReply) {
      EXPECT_EQ(shown.rfind(withCause(kStatusListFailed, cause), 0), 0u) << shown;
      EXPECT_NE(shown.find("marketgate.tmp. Sprawd\xA6, czy katalog roboczy programu istnieje"), std::string::npos);
    } else {
      EXPECT_EQ(shown, withCause(kStatusListFailed, cause));
    }
    EXPECT_EQ(standin::dialogRuns().size(), 0u) << "no dialog over a failed list";
    EXPECT_EQ(standin::callCount(52534), 0);
    EXPECT_EQ(standin::callCount(52401), 0);
    EXPECT_EQ(readWholeFile(workDir.file("marketgate.ini")), options);
    mock->stop();
  }
}

// A refused key is asked for again with the prompt of a missing key; a new
// key is saved and the run goes on with it, a cancel ends the run before
// the dialog. A host without user interaction is not asked.
TEST_F(ImportRunTest, RefusedKeyCanBeEnteredAnew) {
  startShop(shopJson(shopOrders(3)));
  setStatusPositions(0, 1);
  ASSERT_TRUE(standin::iniWrite(workDir.file("marketgate.ini"), "API", "Key", "wrong"));
  const std::string options = readWholeFile(workDir.file("marketgate.ini"));
  const std::string refused = withCause(kStatusListFailed, kKeyRefused);

  runOrderImport();
  EXPECT_TRUE(standin::textInputs().empty()) << "a quiet host asks nothing";
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{refused}));

  standin::setQuietMode(false);
  standin::clearMessages();
  standin::scriptTextInputCancel();
  runOrderImport();
  ASSERT_EQ(standin::textInputs().size(), 1u);
  EXPECT_EQ(standin::textInputs()[0].prompt, "Podaj klucz do API Marketgate");
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{refused}));
  EXPECT_TRUE(standin::dialogRuns().empty());
  EXPECT_EQ(readWholeFile(workDir.file("marketgate.ini")), options);

  standin::clearMessages();
  standin::scriptTextInput("tok");
  standin::scriptDialogAnswers("button=F12");
  runOrderImport();
  EXPECT_EQ(messageTexts().front(), refused);
  EXPECT_EQ(standin::dialogRuns().size(), 1u);
  EXPECT_EQ(importedOrderNumbers(), expectedNumbers(7000, 3));
  std::string key;
  ASSERT_TRUE(standin::iniRead(workDir.file("marketgate.ini"), "API", "Key", key));
  EXPECT_EQ(key, "tok");
}

// A prompt cancelled when the key is missing is not asked again in the
// same run; the service's refusal of the empty key is still shown.
TEST_F(ImportRunTest, CancelledKeyPromptIsNotAskedAgainInTheRun) {
  startShop(shopJson(shopOrders(3)));
  writeWholeFile(workDir.file("marketgate.ini"), "");
  standin::setQuietMode(false);
  standin::scriptTextInputCancel();
  standin::scriptTextInput("tok");  // would be taken by a second prompt
  runOrderImport();
  EXPECT_EQ(standin::textInputs().size(), 1u);
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{withCause(kStatusListFailed, kKeyRefused)}));
  EXPECT_TRUE(standin::dialogRuns().empty());
}

// The key goes into the form body percent-encoded: typed with "+", "%",
// "&", "=", a blank and a Polish letter, it reaches the service as typed.
TEST_F(ImportRunTest, KeyWithFormMarksReachesTheServiceAsTyped) {
  const std::string key = "a+b%c&d=e \xC5\x82~-._Z9";
  std::string shop = shopJson(shopOrders(2));
  size_t token = shop.find("\"tok\"");
  ASSERT_NE(token, std::string::npos);
  startShop(shop.replace(token, 5, quoted(key)));
  writeWholeFile(workDir.file("marketgate.ini"), "");
  setStatusPositions(0, 0);
  standin::scriptTextInput(key);
  runOrderImport();
  EXPECT_EQ(importedOrderNumbers(), expectedNumbers(7000, 2));
  ASSERT_FALSE(standin::httpRequests().empty());
  EXPECT_EQ(standin::httpRequests()[0].body, "token=a%2Bb%25c%26d%3De%20%C5%82~-._Z9&method=getOrderStatusList");
}

TEST_F(ImportRunTest, StatusPositionOutsideTheListEndsTheRunBeforeTheFile) {
  startShop(shopJson(shopOrders(5)));
  setStatusPositions(3, 0);
  runOrderImport();
  ASSERT_EQ(messageTexts().size(), 1u);
  EXPECT_NE(messageTexts()[0].find("nie istnieje"), std::string::npos);
  EXPECT_EQ(requestCount("getOrders"), 0);
  EXPECT_EQ(standin::callCount(52534), 0);
  EXPECT_EQ(standin::callCount(52401), 0);
}

TEST_F(ImportRunTest, UnwritableFileEndsTheRunWithItsMessage) {
  startShop(shopJson(shopOrders(5)));
  ASSERT_TRUE(std::filesystem::create_directory(workDir.file("marketgate.edi")));
  runOrderImport();
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{"B\x92\x86"
                                                      "d otwarcia pliku marketgate.edi do zapisu!"}));
  EXPECT_EQ(requestCount("getOrders"), 0);
  EXPECT_EQ(standin::callCount(52401), 0);
}

TEST_F(ImportRunTest, WorkingDirectoryTooLongForTheRecordEndsTheRunBeforeTheFile) {
  startShop(shopJson(shopOrders(5)));
  std::string deep = workDir.path();
  while (deep.size() < 260) {
    deep += "/katalog-roboczy";
    ASSERT_TRUE(std::filesystem::create_directory(deep));
  }
  writeWholeFile(deep + "/marketgate.ini", readWholeFile(workDir.file("marketgate.ini")));
  standin::setWorkingDirectory(deep);
  runOrderImport();
  standin::setWorkingDirectory(workDir.path());
  ASSERT_EQ(messageTexts().size(), 1u);
  EXPECT_NE(messageTexts()[0].find("marketgate.edi"), std::string::npos);
  EXPECT_EQ(requestCount("getOrders"), 0);
  EXPECT_EQ(standin::callCount(52534), 0);
}

}  // namespace
