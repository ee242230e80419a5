// The status push through the host's own actions, over HTTP to mockgate:
// the "Tspr_dok" and "Tspr" operations and the 2294 handler recognise their
// events, push the order named by the host's record, and always hand the
// call on unchanged; what is sent for equal, shifted or missing positions,
// empty order ids and a failing status list.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "frame/frame_state.h"
#include "hostlink/host_services.h"
#include "frame/table_hooks.h"
#include "control/host_control.h"
#include "options/ini_files.h"
#include "service/push_journal.h"
#include "service/status_push.h"
#include "support/host_fixture.h"
#include "support/mockgate_process.h"

namespace {

const char* const kShop =
    "{\"token\": \"abc\","
    " \"statuses\": [{\"id\": 10, \"name\": \"Nowe\", \"name_for_customer\": \"\"},"
    "  {\"id\": 20, \"name\": \"W realizacji\", \"name_for_customer\": \"\"},"
    "  {\"id\": 30, \"name\": \"Wys\xC5\x82\x61ne\", \"name_for_customer\": \"\"}],"
    " \"orders\": [{\"order_id\": 5310002, \"order_status_id\": 10, \"date_confirmed\": 1000, \"email\": \"a@example.pl\"},"
    "  {\"order_id\": 777, \"order_status_id\": 10, \"date_confirmed\": 1001, \"email\": \"b@example.pl\"}],"
    " \"invoices\": []}";

const std::string kStatusList = "token=abc&method=getOrderStatusList";

std::string setStatus(const std::string& order, int status) {
  return "token=abc&method=setOrderStatus&parameters={%22order_id%22: " + order +
         ", %22status_id%22: " + std::to_string(status) + "}";
}

// Eleven arguments as the host passes them, each telling its place.
struct Arguments {
  uintptr_t values[11];
};

Arguments arguments(uintptr_t first, uintptr_t second, uintptr_t fourth = 0x4444, uintptr_t sixth = 0x6666) {
  return Arguments{{first, second, 0x3333, fourth, 0x5555, sixth, 0x7777, 0x8888, 0x9999, 0xAAAA, 0xBBBB}};
}

int32_t callTable(int table, const Arguments& a) {
  const uintptr_t* v = a.values;
  return standin::callTableOperation(table, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]);
}

struct PreviousHandler {
  static int calls;
  static uintptr_t first, second;
  static int32_t MG_STDCALL handle(uintptr_t a, uintptr_t b) {
    ++calls;
    first = a;
    second = b;
    return 77;
  }
};
int PreviousHandler::calls = 0;
uintptr_t PreviousHandler::first = 0;
uintptr_t PreviousHandler::second = 0;

class PushTest : public HostFixture {
 protected:
  static void SetUpTestSuite() {
    mock = std::make_unique<MockgateProcess>();
    if (!mock->start(kShop)) mock.reset();
  }
  static void TearDownTestSuite() { mock.reset(); }

  void SetUp() override {
    HostFixture::SetUp();
    ASSERT_TRUE(mock != nullptr) << "mockgate did not start: " << mockgateBinaryPath();
    standin::setServiceBaseUrl(mock->baseUrl());
    ASSERT_TRUE(standin::iniWrite(workDir.file("marketgate.ini"), "API", "Key", "abc"));
    resetTableHookState();
    ASSERT_EQ(installTableHooks(), 0);
    ASSERT_EQ(standin::addTableRecord(standin::kListTableNumber, "5310002"), 0);
    ASSERT_EQ(standin::addTableRecord(standin::kListTableNumber, "777"), 1);
    ASSERT_EQ(standin::addTableRecord(standin::kListTableNumber, ""), 2);
    standin::setCurrentRecord(standin::kListTableNumber, 0);
    standin::setTableOperationResult(standin::kDocumentTableNumber, 4545);
    standin::setTableOperationResult(standin::kListTableNumber, 4444);
    PreviousHandler::calls = 0;
  }

  void TearDown() override {
    restoreTableHooks();
    if (frameState().handlerRegistration != nullptr) hostWithdrawHandler(2294);
    frameState().handlerRegistration = nullptr;
    standin::setServiceBaseUrl("");
    HostFixture::TearDown();
  }

  void choosePositions(int incoming, int outgoing) {
    std::string ini = workDir.file("marketgate.ini");
    ASSERT_TRUE(standin::iniWrite(ini, "Statusy", "StatusWePoz", std::to_string(incoming)));
    ASSERT_TRUE(standin::iniWrite(ini, "Statusy", "StatusWyPoz", std::to_string(outgoing)));
  }

  void registerHandler(bool withPrevious) {
    if (withPrevious) standin::installHandler(2294, &PreviousHandler::handle);
    frameState().handlerRegistration = hostRegisterHandler(2294, &documentEventHandler);
  }

  std::vector<std::string> sentBodies() const {
    std::vector<std::string> bodies;
    for (const standin::HttpRequestRecord& request : standin::httpRequests()) bodies.push_back(request.body);
    return bodies;
  }

  // The replaced operation ran exactly once more, with every argument as given.
  void expectHandedOn(int table, const Arguments& a, size_t callsBefore) {
    const std::vector<standin::TableOperationCall>& calls = standin::tableOperationCalls();
    ASSERT_EQ(calls.size(), callsBefore + 1);
    EXPECT_EQ(calls.back().table, table);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(calls.back().arguments[i], a.values[i]) << "argument " << i + 1;
  }

  static std::unique_ptr<MockgateProcess> mock;
};

std::unique_ptr<MockgateProcess> PushTest::mock;

TEST_F(PushTest, DocumentEventWithEqualPositionsSendsOnlyTheStatusList) {
  choosePositions(1, 1);
  Arguments a = arguments(2001, 802);
  EXPECT_EQ(callTable(standin::kDocumentTableNumber, a), 4545);
  EXPECT_EQ(sentBodies(), std::vector<std::string>{kStatusList});
  expectHandedOn(standin::kDocumentTableNumber, a, 0);
}

TEST_F(PushTest, DocumentEventMovesTheCurrentOrderToTheOutgoingStatus) {
  choosePositions(0, 2);
  Arguments a = arguments(2001, 802);
  EXPECT_EQ(callTable(standin::kDocumentTableNumber, a), 4545);
  EXPECT_EQ(sentBodies(), (std::vector<std::string>{kStatusList, setStatus("5310002", 30)}));
  expectHandedOn(standin::kDocumentTableNumber, a, 0);
  EXPECT_EQ(standin::callCount(20902), 1) << "one settings object for the push";
  EXPECT_EQ(standin::liveDialogObjects(), 0);
}

TEST_F(PushTest, ListEventPushesTheSelectedRowsOrder) {
  choosePositions(0, 1);
  standin::ListSelection selection = standin::listSelection(standin::kListTableNumber, 1);
  Arguments a = arguments(17408, 801, selection.recordArray, selection.listView);
  EXPECT_EQ(callTable(standin::kListTableNumber, a), 4444);
  EXPECT_EQ(sentBodies(), (std::vector<std::string>{kStatusList, setStatus("777", 20)}));
  expectHandedOn(standin::kListTableNumber, a, 0);
}

TEST_F(PushTest, OtherEventsOnlyReachTheReplacedOperation) {
  choosePositions(0, 2);
  standin::ListSelection selection = standin::listSelection(standin::kListTableNumber, 0);
  const std::pair<int, Arguments> calls[] = {
      {standin::kListTableNumber, arguments(17408, 800, selection.recordArray, selection.listView)},
      {standin::kListTableNumber, arguments(17409, 801, selection.recordArray, selection.listView)},
      {standin::kListTableNumber, arguments(2001, 802)},
      {standin::kDocumentTableNumber, arguments(2001, 801)},
      {standin::kDocumentTableNumber, arguments(2002, 802)},
      {standin::kDocumentTableNumber, arguments(17408, 801)},
  };
  size_t before = 0;
  for (const auto& call : calls) {
    standin::clearCalls();
    EXPECT_EQ(callTable(call.first, call.second), call.first == standin::kListTableNumber ? 4444 : 4545);
    expectHandedOn(call.first, call.second, before++);
    // The table access runs on every call, whatever the event.
    ASSERT_EQ(standin::callCount(52256), 1);
    ASSERT_EQ(standin::callCount(52465), 1);
    for (const standin::CallRecord& record : standin::calls()) {
      if (record.ordinal == 52256) {
        EXPECT_EQ(record.detail, "44");
      }
      if (record.ordinal == 52465) {
        EXPECT_EQ(record.detail, "44 255");
      }
    }
  }
  EXPECT_TRUE(sentBodies().empty());
}

TEST_F(PushTest, EmptyOrderIdSendsNoStatusChange) {
  choosePositions(0, 2);
  standin::setCurrentRecord(standin::kListTableNumber, 2);
  callTable(standin::kDocumentTableNumber, arguments(2001, 802));
  standin::ListSelection selection = standin::listSelection(standin::kListTableNumber, 2);
  callTable(standin::kListTableNumber, arguments(17408, 801, selection.recordArray, selection.listView));
  for (const std::string& body : sentBodies()) EXPECT_EQ(body, kStatusList);
  EXPECT_EQ(standin::tableOperationCalls().size(), 2u);
}

TEST_F(PushTest, OutgoingPositionOutsideTheFetchedListSendsNothing) {
  for (int outgoing : {3, 40, -1}) {
    choosePositions(0, outgoing);
    pushOrderStatus("5310002");
  }
  EXPECT_EQ(sentBodies(), (std::vector<std::string>(3, kStatusList)));
}

TEST_F(PushTest, NoCurrentRecordOrNoListTablePushesNothingButHandsOn) {
  choosePositions(0, 2);
  standin::setCurrentRecord(standin::kListTableNumber, -1);
  Arguments a = arguments(2001, 802);
  EXPECT_EQ(callTable(standin::kDocumentTableNumber, a), 4545);
  EXPECT_TRUE(sentBodies().empty());
  expectHandedOn(standin::kDocumentTableNumber, a, 0);

  standin::removeTable(standin::kListTableNumber);
  EXPECT_EQ(callTable(standin::kDocumentTableNumber, a), 4545);
  EXPECT_TRUE(sentBodies().empty());
  expectHandedOn(standin::kDocumentTableNumber, a, 1);
  EXPECT_EQ(standin::callCount(52465), 1) << "no record access without a table";
}

TEST_F(PushTest, OrderIdFillingTheWholeRecordIsReadWithinIt) {
  choosePositions(0, 2);
  int index = standin::addTableRecord(standin::kListTableNumber, "");
  uint8_t* record = standin::tableRecord(standin::kListTableNumber, index);
  std::memset(record + 2, '7', 1469 - 2);  // no terminator before the record's end
  standin::setCurrentRecord(standin::kListTableNumber, index);
  callTable(standin::kDocumentTableNumber, arguments(2001, 802));
  ASSERT_EQ(sentBodies().size(), 2u);
  EXPECT_NE(sentBodies()[1].find("method=setOrderStatus"), std::string::npos);
}

// The ids saved beside the positions count: the outgoing status is the one
// its id names; an id the list no longer holds sends nothing and keeps the
// change to be made at the next import.
TEST_F(PushTest, OutgoingStatusIsTheOneItsStoredIdNames) {
  choosePositions(0, 2);
  std::string ini = workDir.file("marketgate.ini");
  ASSERT_TRUE(standin::iniWrite(ini, "Statusy", "StatusWe", "10"));
  ASSERT_TRUE(standin::iniWrite(ini, "Statusy", "StatusWy", "20"));
  pushOrderStatus("5310002");
  EXPECT_EQ(sentBodies(), (std::vector<std::string>{kStatusList, setStatus("5310002", 20)}));
  ASSERT_TRUE(standin::iniWrite(ini, "Statusy", "StatusWy", "99"));
  pushHandledOrder("777");
  EXPECT_EQ(sentBodies(), (std::vector<std::string>{kStatusList, setStatus("5310002", 20), kStatusList}));
  EXPECT_NE(readWholeFile(workDir.file(kPushJournalName)).find("777"), std::string::npos);
  std::vector<std::string> told;
  for (const standin::ShownMessage& message : standin::messages()) {
    if (message.kind == "message") told.push_back(message.text);
  }
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("777"), std::string::npos);
}

TEST_F(PushTest, HandlerPushesTheCurrentDocumentAndForwards) {
  choosePositions(0, 2);
  registerHandler(true);
  EXPECT_EQ(standin::dispatchHandler(2294, 0x11, 0x0005FFFE), 77);
  EXPECT_EQ(PreviousHandler::calls, 1);
  EXPECT_EQ(PreviousHandler::first, 0x11u);
  EXPECT_EQ(PreviousHandler::second, 0x0005FFFEu);
  EXPECT_EQ(sentBodies(), (std::vector<std::string>{kStatusList, setStatus("5310002", 30)}));
  ASSERT_EQ(standin::callCount(52033), 1);
  for (const standin::CallRecord& record : standin::calls()) {
    if (record.ordinal == 52033) {
      EXPECT_EQ(record.detail, "16651") << "the order id field of the current document";
    }
  }
}

TEST_F(PushTest, HandlerWithOtherEventsOnlyForwards) {
  choosePositions(0, 2);
  registerHandler(true);
  for (uintptr_t second : {0x0u, 0xFFFFu, 0xFFFDu, 0xFFFE0000u}) {
    EXPECT_EQ(standin::dispatchHandler(2294, 3, second), 77) << second;
  }
  EXPECT_EQ(PreviousHandler::calls, 4);
  EXPECT_TRUE(sentBodies().empty());
  EXPECT_EQ(standin::callCount(52033), 0);
}

TEST_F(PushTest, HandlerWithoutPreviousHandlerAnswersZero) {
  choosePositions(0, 2);
  registerHandler(false);
  EXPECT_EQ(standin::dispatchHandler(2294, 3, 4), 0);
  EXPECT_EQ(standin::dispatchHandler(2294, 3, 0xFFFE), 0);
  EXPECT_EQ(sentBodies().size(), 2u) << "the push still happens";
  frameState().handlerRegistration = nullptr;
  EXPECT_EQ(documentEventHandler(3, 4), 0) << "no registration at all";
}

TEST_F(PushTest, OperationsThatReplaceNothingDoNothing) {
  restoreTableHooks();
  resetTableHookState();
  standin::clearCalls();
  EXPECT_EQ(documentTableOperation(2001, 802, 0, 0, 0, 0, 0, 0, 0, 0, 0), 0);
  standin::ListSelection selection = standin::listSelection(standin::kListTableNumber, 0);
  EXPECT_EQ(listTableOperation(17408, 801, 0, selection.recordArray, 0, selection.listView, 0, 0, 0, 0, 0), 0);
  EXPECT_TRUE(standin::calls().empty());
  EXPECT_TRUE(standin::tableOperationCalls().empty());
}

TEST(PushWithFailingService, FailedStatusListSendsNoChangeAndTheHostOperationRuns) {
  MockgateProcess faulty;
  ASSERT_TRUE(faulty.start(
      kShop, {"getOrderStatusList:1:http500", "getOrderStatusList:2:garbage", "getOrderStatusList:3:drop"}));
  TemporaryDirectory directory;
  standin::resetState();
  standin::setWorkingDirectory(directory.path());
  long blocks = standin::liveBlocks();
  standin::setServiceBaseUrl(faulty.baseUrl());
  std::string ini = directory.file("marketgate.ini");
  ASSERT_TRUE(standin::iniWrite(ini, "API", "Key", "abc"));
  ASSERT_TRUE(standin::iniWrite(ini, "Statusy", "StatusWyPoz", "2"));
  resetTableHookState();
  ASSERT_EQ(installTableHooks(), 0);
  standin::addTableRecord(standin::kListTableNumber, "5310002");
  standin::setCurrentRecord(standin::kListTableNumber, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(standin::callTableOperation(standin::kDocumentTableNumber, 2001, 802), 1);
  EXPECT_EQ(standin::tableOperationCalls().size(), 3u);
  for (const standin::HttpRequestRecord& request : standin::httpRequests()) EXPECT_EQ(request.body, kStatusList);
  EXPECT_EQ(standin::liveBlocks(), blocks);
  EXPECT_EQ(standin::liveDialogObjects(), 0);
  restoreTableHooks();
  standin::setServiceBaseUrl("");
  standin::resetState();
}

}  // namespace
