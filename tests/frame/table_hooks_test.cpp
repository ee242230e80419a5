// Hooks on the document tables "Tspr_dok" (45) and "Tspr" (44): what the
// host's table objects hold before, during and after, and the size-mismatch
// list the diagnosis reports.
#include <gtest/gtest.h>

#include "frame/frame_fixture.h"
#include "hostlink/host_services.h"
#include "frame/table_hooks.h"
#include "service/status_push.h"
#include "control/table_control.h"

namespace {

using host_abi::TableOperation;

class TableHooksTest : public FrameTest {
 protected:
  TableOperation operationOf(int table) { return hostTableByNumber(table)->operation; }

  struct Entry {
    int32_t expected;
    int32_t actual;
    std::string table;
    bool operator==(const Entry& other) const {
      return expected == other.expected && actual == other.actual && table == other.table;
    }
  };
  std::vector<Entry> mismatches() {
    std::vector<Entry> entries;
    for (const SizeMismatch* record = sizeMismatchList(); record != nullptr; record = record->next) {
      entries.push_back(Entry{record->expected, record->actual, record->tableName});
    }
    return entries;
  }
};

TEST_F(TableHooksTest, InstallAndRestoreLeaveBothTablesAsTheyWere) {
  TableOperation document = operationOf(45), list = operationOf(44);
  ASSERT_EQ(installTableHooks(), 0);
  EXPECT_EQ(operationOf(45), &documentTableOperation);
  EXPECT_EQ(operationOf(44), &listTableOperation);
  EXPECT_EQ(previousTableOperation(45), document);
  EXPECT_EQ(previousTableOperation(44), list);
  // A second start leaves the hooks as they are: the saved operation must
  // stay the host's, not become the plug-in's own.
  ASSERT_EQ(installTableHooks(), 0);
  EXPECT_EQ(previousTableOperation(45), document);
  restoreTableHooks();
  EXPECT_EQ(operationOf(45), document);
  EXPECT_EQ(operationOf(44), list);
  EXPECT_EQ(previousTableOperation(45), nullptr);
  restoreTableHooks();
  EXPECT_EQ(operationOf(45), document) << "restore with nothing hooked does nothing";
  EXPECT_EQ(sizeMismatchList(), nullptr);
}

TEST_F(TableHooksTest, HookedOperationHandsTheHostsOperationAllElevenArguments) {
  ASSERT_EQ(installTableHooks(), 0);
  standin::setTableOperationResult(45, 77);
  standin::setTableOperationResult(44, -5);
  EXPECT_EQ(standin::callTableOperation(45, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21), 77);
  EXPECT_EQ(standin::callTableOperation(44, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41), -5);
  const std::vector<standin::TableOperationCall>& calls = standin::tableOperationCalls();
  ASSERT_EQ(calls.size(), 2u);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(calls[0].arguments[i], static_cast<uintptr_t>(11 + i));
    EXPECT_EQ(calls[1].arguments[i], static_cast<uintptr_t>(31 + i));
  }
  EXPECT_EQ(calls[0].table, 45);
  EXPECT_EQ(calls[1].table, 44);
}

TEST_F(TableHooksTest, WrongDocumentRecordSizeChangesNeitherTable) {
  standin::setTableRecordSize(45, 514);
  TableOperation document = operationOf(45), list = operationOf(44);
  standin::clearCalls();
  EXPECT_EQ(installTableHooks(), -1);
  EXPECT_EQ(standin::callCount(52256), 1) << "table 44 is not looked at";
  EXPECT_EQ(operationOf(45), document);
  EXPECT_EQ(operationOf(44), list);
  EXPECT_EQ(mismatches(), (std::vector<Entry>{{515, 514, "Tspr_dok"}}));
}

TEST_F(TableHooksTest, MissingListTableLeavesTheDocumentTableHookedUntilRestore) {
  standin::removeTable(44);
  TableOperation document = operationOf(45);
  EXPECT_EQ(installTableHooks(), -1);
  EXPECT_EQ(operationOf(45), &documentTableOperation);
  EXPECT_EQ(mismatches(), (std::vector<Entry>{{1469, 0, "Tspr"}}));
  restoreTableHooks();
  EXPECT_EQ(operationOf(45), document);
}

TEST_F(TableHooksTest, SizeCheckAddsEachMismatchOnceListTableFirst) {
  EXPECT_EQ(checkTableSizes(), 0);
  EXPECT_EQ(sizeMismatchList(), nullptr);
  standin::setTableRecordSize(45, 600);
  standin::setTableRecordSize(44, 1470);
  EXPECT_EQ(checkTableSizes(), 2);
  EXPECT_EQ(checkTableSizes(), 2) << "checked again, the list keeps its length";
  EXPECT_EQ(mismatches(), (std::vector<Entry>{{1469, 1470, "Tspr"}, {515, 600, "Tspr_dok"}}));
  // A record filled anew keeps its place and shows the new values.
  standin::setTableRecordSize(44, 1000);
  EXPECT_EQ(checkTableSizes(), 2);
  EXPECT_EQ(mismatches(), (std::vector<Entry>{{1469, 1000, "Tspr"}, {515, 600, "Tspr_dok"}}));
  // Installation records are separate: a failed install adds its own.
  EXPECT_EQ(installTableHooks(), -1);
  EXPECT_EQ(countSizeMismatches(), 3);
}

}  // namespace
