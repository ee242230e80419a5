// Decoding the service's status list and formatting its pick-list entries:
// what a reply must look like, how entries are read and cut, growth of the
// host array, and positions the list does not hold.
#include <gtest/gtest.h>

#include <string>

#include "hostlink/host_services.h"
#include "control/host_control.h"
#include "settings/marketgate_status.h"
#include "settings/order_status_list.h"
#include "support/host_fixture.h"

namespace {

class StatusListTest : public HostFixture {
 protected:
  void TearDown() override {
    hostRelease(object.statusList.statuses);
    HostFixture::TearDown();
  }
  OrderStatusList& list() { return object.statusList; }
  std::string itemText(int16_t index, bool converted) {
    intptr_t text = converted ? statusItemTextConverted(&object, index, 0) : statusItemTextStored(&object, index, 0);
    EXPECT_EQ(text, reinterpret_cast<intptr_t>(object.itemText));
    return object.itemText;
  }

  MarketgateStatus object{};
};

TEST_F(StatusListTest, RepliesWithoutAStatusesArrayAreRefusedAndLeaveTheListAlone) {
  const char* refused[] = {
      nullptr,
      "",
      " {\"statuses\": []}",
      "[{\"statuses\": []}]",
      "{\"statuses\": {}}",
      "{\"statuses\": null}",
      "{\"status\": \"ERROR\", \"error_code\": \"ERROR_BAD_TOKEN\"}",
      "{\"statuses\": [{\"id\": 1}",
      "<html>",
  };
  for (const char* reply : refused) {
    EXPECT_EQ(decodeOrderStatusList(list(), reply), -1) << (reply ? reply : "null");
  }
  EXPECT_EQ(list().statuses, nullptr);
  EXPECT_EQ(list().count, 0);
  EXPECT_EQ(list().capacity, 0);

  EXPECT_EQ(decodeOrderStatusList(list(), "{\"statuses\": []}"), 0);
  EXPECT_EQ(list().count, 0);
  EXPECT_EQ(statusItemTextStored(&object, -1, 0), 0);
  EXPECT_EQ(statusItemTextConverted(&object, -1, 0), 0);
}

TEST_F(StatusListTest, EntriesAreReadInOrderWithTheirIdsTruncatedAndNamesCut) {
  const std::string reply =
      "{\"status\": \"SUCCESS\", \"statuses\": [7,"
      " {\"id\": 12.9, \"name\": \"Nowe\", \"name_for_customer\": \"Przyj\xC4\x99te\"},"
      " \"text\", null,"
      " {\"id\": \"15\", \"name\": 3, \"name_for_customer\": null},"
      " {},"
      " {\"id\": -4.7, \"name\": \"" +
      std::string(40, 'n') + "\", \"name_for_customer\": \"" + std::string(60, 'c') +
      "\"},"
      " {\"id\": 1e12, \"name\": \"Wys\xC5\x82\x61ne\"}]}";
  ASSERT_EQ(decodeOrderStatusList(list(), reply.c_str()), 0);
  ASSERT_EQ(list().count, 5);
  EXPECT_EQ(list().capacity, 1000);

  const OrderStatus* s = list().statuses;
  EXPECT_EQ(s[0].id, 12);
  EXPECT_STREQ(s[0].name, "Nowe");
  EXPECT_STREQ(s[0].name_for_customer, "Przyj\xC4\x99te");
  EXPECT_EQ(s[1].id, 0) << "an id given as text counts as 0";
  EXPECT_STREQ(s[1].name, "");
  EXPECT_STREQ(s[1].name_for_customer, "");
  EXPECT_EQ(s[2].id, 0);
  EXPECT_STREQ(s[2].name, "");
  EXPECT_EQ(s[3].id, -4);
  EXPECT_EQ(std::string(s[3].name), std::string(29, 'n'));
  EXPECT_EQ(std::string(s[3].name_for_customer), std::string(49, 'c'));
  EXPECT_EQ(s[4].id, 0) << "an id beyond 32 bits is no id";
  EXPECT_EQ(standin::liveBlocks(), liveBlocksAtStart + 1) << "only the array is left; the document is released";

  // A second reply is appended, not put in place of the first.
  ASSERT_EQ(decodeOrderStatusList(list(), "{\"statuses\": [{\"id\": 99, \"name\": \"Nowy\"}]}"), 0);
  EXPECT_EQ(list().count, 6);
  EXPECT_EQ(list().statuses[5].id, 99);
}

TEST_F(StatusListTest, ArrayGrowsInStepsOfAThousandKeepingEntries) {
  std::string reply = "{\"statuses\": [";
  for (int i = 0; i < 2001; ++i) reply += (i ? ",{\"id\": " : "{\"id\": ") + std::to_string(i + 1) + "}";
  reply += "]}";
  ASSERT_EQ(decodeOrderStatusList(list(), reply.c_str()), 0);
  EXPECT_EQ(list().count, 2001);
  EXPECT_EQ(list().capacity, 3000);
  for (int i = 0; i < 2001; ++i) ASSERT_EQ(list().statuses[i].id, i + 1) << i;
}

// The fatal stop ends the process with its code; POSIX keeps its low byte.
#ifdef _WIN32
constexpr int kFatalStopExitCode = 1472;
#else
constexpr int kFatalStopExitCode = 1472 & 0xFF;
#endif

TEST_F(StatusListTest, NoMemoryForTheListStopsTheHost) {
  EXPECT_EXIT(
      {
        // The document takes its own blocks first; the array's block is the last one asked for.
        long before = standin::allocationCount();
        OrderStatusList probe{};
        decodeOrderStatusList(probe, "{\"statuses\": [{\"id\": 1}]}");
        long needed = standin::allocationCount() - before;
        hostRelease(probe.statuses);
        standin::setEcho(true, true);
        standin::failNthAllocation(needed);
        decodeOrderStatusList(list(), "{\"statuses\": [{\"id\": 1}]}");
      },
      testing::ExitedWithCode(kFatalStopExitCode), "");
}

TEST_F(StatusListTest, PositionsOutsideTheListAreNeverRead) {
  EXPECT_EQ(statusAt(list(), 0), nullptr) << "empty list";
  ASSERT_EQ(decodeOrderStatusList(list(), "{\"statuses\": [{\"id\": 5, \"name\": \"Nowe\"}, {\"id\": 9}]}"), 0);
  EXPECT_EQ(statusAt(list(), 0), &list().statuses[0]);
  EXPECT_EQ(statusAt(list(), 1)->id, 9);
  EXPECT_EQ(statusAt(list(), 2), nullptr) << "inside the capacity, outside the entries";
  EXPECT_EQ(statusAt(list(), -1), nullptr);
  EXPECT_EQ(statusAt(list(), 32767), nullptr);

  object.itemText[0] = 'x';
  EXPECT_EQ(itemText(2, false), "");
  object.itemText[0] = 'x';
  EXPECT_EQ(itemText(-2, true), "");
}

TEST_F(StatusListTest, ItemTextsShowIdAndNameConvertedOrAsStored) {
  ASSERT_EQ(decodeOrderStatusList(list(),
                                  "{\"statuses\": [{\"id\": 5, \"name\": \"Nowe\"},"
                                  " {\"id\": -3, \"name\": \"Wys\xC5\x82\x61ne \xE2\x82\xAC\"}]}"),
            0);
  EXPECT_EQ(statusItemTextStored(&object, -1, 0), 2);
  EXPECT_EQ(statusItemTextConverted(&object, -1, 0), 2);
  EXPECT_EQ(itemText(0, false), " 5 - Nowe");
  EXPECT_EQ(itemText(0, true), " 5 - Nowe");
  EXPECT_EQ(itemText(1, false), " -3 - Wys\xC5\x82\x61ne \xE2\x82\xAC");
  standin::clearCalls();
  EXPECT_EQ(itemText(1, true), " -3 - Wys\xB3\x61ne \x80") << "UTF-8 to Windows-1250";
  ASSERT_EQ(standin::callCount(35387), 1);
  for (const standin::CallRecord& call : standin::calls()) {
    if (call.ordinal == 35387) {
      EXPECT_EQ(call.detail, "6>3");
    }
  }
}

}  // namespace
