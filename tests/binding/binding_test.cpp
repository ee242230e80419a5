// Binding of host functions by ordinal: the missing-function list, and calls
// through cells that still hold their entry routine reaching the host
// exactly as made, for every calling convention the host uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "hostlink/host_binding.h"
#include "hostlink/host_services.h"
#include "control/dialog_control.h"
#include "control/import_control.h"
#include "support/host_fixture.h"

namespace {

// The binding order the host relies on, frozen: it decides which eight
// missing ordinals the diagnosis names. The table may only grow at its end.
const uint16_t kGoldenBindingOrder[] = {
    52401, 52021, 35387, 52020, 22900, 22934, 22935, 22894, 22892, 51757, 52305, 20973, 20972, 52082, 30018,
    34699, 34704, 52030, 40404, 32008, 22563, 22567, 22562, 52615, 30204, 38020, 52016, 52527, 21286, 51774,
    52023, 52465, 41399, 51594, 51425, 35385, 52015, 30908, 21284, 52262, 52064, 51430, 52028, 52256, 37974,
    30520, 52534, 52466, 52081, 21287, 24007, 24004, 24003, 24002, 20937, 20946, 20945, 20944, 20943, 20942,
    20941, 20940, 20947, 20956, 20955, 20954, 20953, 20952, 20951, 20950, 20949, 20948, 20957, 20966, 20965,
    20964, 20963, 20962, 20961, 20960, 20959, 20958, 20967, 20907, 20903, 20902, 52003, 52263, 52161, 35804,
    52224, 52207, 21285, 52033, 52541, 52029, 41611, 40008, 41613,
};
constexpr size_t kGoldenCount = sizeof kGoldenBindingOrder / sizeof kGoldenBindingOrder[0];
static_assert(kGoldenCount == 99, "99 host functions");

// "" when the ordinals are the frozen order, else where they first differ.
std::string differenceFromGolden(const std::vector<unsigned>& ordinals) {
  for (size_t i = 0; i < kGoldenCount && i < ordinals.size(); ++i) {
    if (ordinals[i] != kGoldenBindingOrder[i]) {
      return "place " + std::to_string(i + 1) + ": " + std::to_string(ordinals[i]) + " where the order has " +
             std::to_string(kGoldenBindingOrder[i]);
    }
  }
  if (ordinals.size() != kGoldenCount) return std::to_string(ordinals.size()) + " ordinals, not 99";
  return "";
}

std::vector<unsigned> tableBindingOrder() {
  std::vector<unsigned> ordinals;
  for (int i = 0; i < kHostFunctionCount; ++i) ordinals.push_back(hostFunctionOrdinal(static_cast<HostFunction>(i)));
  return ordinals;
}

class BindingTest : public HostFixture {
 protected:
  void TearDown() override {
    standin::clearWithheldOrdinals();
    resetHostBinding();
    bindAllHostFunctions();
    HostFixture::TearDown();
  }
};

// The table against the frozen order, and the host's own record of what the
// library looked up when it was loaded (before any test ran) and on a
// binding of its own.
TEST_F(BindingTest, HostFunctionsAreBoundInTheFrozenOrder) {
  EXPECT_EQ(differenceFromGolden(tableBindingOrder()), "") << "the table";
#if defined(_WIN32)
  GTEST_SKIP() << "Windows answers the lookups without the host module";
#else
  std::vector<unsigned> atLoad = standin::ordinalLookups();
  atLoad.resize(std::min(atLoad.size(), kGoldenCount));
  EXPECT_EQ(differenceFromGolden(atLoad), "") << "the host's lookups when the library was loaded";
  standin::clearOrdinalLookups();
  resetHostBinding();
  bindAllHostFunctions();
  EXPECT_EQ(differenceFromGolden(standin::ordinalLookups()), "") << "the host's lookups of a binding";
#endif
}

TEST_F(BindingTest, CompliantHostLeavesMissingListEmptyAndPrintsNothing) {
  resetHostBinding();
  testing::internal::CaptureStderr();
  bindAllHostFunctions();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(missingHostFunctions().count, 0u);
  for (int i = 0; i < kHostFunctionCount; ++i) {
    auto function = static_cast<HostFunction>(i);
    EXPECT_NE(hostFunctionCell(function), nullptr) << hostFunctionOrdinal(function);
    EXPECT_NE(hostFunctionCell(function), hostFunctionEntry(function)) << hostFunctionOrdinal(function);
  }
}

TEST_F(BindingTest, MissesAreCountedAndFirstEightKeptInBindingOrder) {
  // Withheld in an order unlike the table's: the list follows the table.
  const unsigned withheld[] = {41613, 20940, 52401, 30018, 21285, 52256, 20902, 22900, 35804, 51757};
  for (unsigned ordinal : withheld) standin::withholdOrdinal(ordinal);
  resetHostBinding();
  testing::internal::CaptureStderr();
  bindAllHostFunctions();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no debugger, no output";

  const MissingFunctionList& missing = missingHostFunctions();
  EXPECT_EQ(missing.count, 10u);
  const uint16_t expected[8] = {52401, 22900, 51757, 30018, 52256, 20940, 20902, 35804};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(missing.ordinals[i], expected[i]) << i;
  EXPECT_EQ(hostFunctionCell(HostFunction::runUniversalImport), nullptr);
  EXPECT_FALSE(hostHas(HostFunction::httpRequest));
  EXPECT_TRUE(hostHas(HostFunction::allocate));
}

TEST_F(BindingTest, WrappersOfMissingFunctionsNeverCallThroughAnEmptyCell) {
  standin::withholdOrdinal(21284);
  standin::withholdOrdinal(52030);
  standin::withholdOrdinal(51594);
  resetHostBinding();
  bindAllHostFunctions();
  EXPECT_EQ(hostAllocate(16), nullptr);
  hostMessage("nie pokazany");
  EXPECT_EQ(hostInterfaceLevel(), 0);
  EXPECT_TRUE(standin::messages().empty());
}

TEST_F(BindingTest, BindingNeverRunsAgainForABoundCell) {
  resetHostBinding();
  bindAllHostFunctions();
  void* bound = hostFunctionCell(HostFunction::message);
  standin::withholdOrdinal(52030);
  bindAllHostFunctions();
  EXPECT_EQ(hostFunctionCell(HostFunction::message), bound);
  EXPECT_EQ(missingHostFunctions().count, 0u);
}

// Calls through cells that still hold their entry routines.
class FirstCallTest : public BindingTest {
 protected:
  void SetUp() override {
    BindingTest::SetUp();
    resetHostBinding();
  }
  template <class Fn>
  Fn unboundCell(HostFunction function) {
    EXPECT_EQ(hostFunctionCell(function), hostFunctionEntry(function));
    return reinterpret_cast<Fn>(hostFunctionCell(function));
  }
};

TEST_F(FirstCallTest, CallerClearedFunctionGetsItsArgumentsAndReturnsItsResult) {
  auto allocate = unboundCell<host_abi::AllocateFn>(HostFunction::allocate);
  auto release = unboundCell<host_abi::ReleaseFn>(HostFunction::release);
  long live = standin::liveBlocks();
  void* block = allocate(40);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(standin::liveBlocks(), live + 1);
  std::memset(block, 0xAB, 40);
  release(block);
  EXPECT_EQ(standin::liveBlocks(), live);
  EXPECT_NE(hostFunctionCell(HostFunction::allocate), hostFunctionEntry(HostFunction::allocate)) << "now bound";
}

TEST_F(FirstCallTest, CalleeClearedFunctionKeepsTheCallersStack) {
  auto copy = unboundCell<host_abi::BoundedCopyFn>(HostFunction::boundedCopy);
  char buffer[8];
  // Several calls in a row: a stack left unbalanced would show in the
  // locals and the return values of the later ones.
  volatile int guard = 0x5A5A5A5A;
  for (int i = 0; i < 3; ++i) {
    char* result = copy(buffer, "Marketgate", 5);
    EXPECT_EQ(result, buffer);
    EXPECT_STREQ(buffer, "Marke");
  }
  EXPECT_EQ(guard, 0x5A5A5A5A);
}

TEST_F(FirstCallTest, ManyArgumentFunctionReceivesEveryArgumentInOrder) {
  auto open = unboundCell<host_abi::OpenFileFn>(HostFunction::openFile);
  std::string name = workDir.file("probe.txt");
  void* file = open(name.c_str(), "wt", 64, 0, -1, 0, 0, 0, 0);
  ASSERT_NE(file, nullptr);
  hostCloseFile(file);
  ASSERT_FALSE(standin::calls().empty());
  EXPECT_EQ(standin::calls().front().detail, name + " wt");
}

TEST_F(FirstCallTest, VariadicFunctionWithFloatingArgumentsWritesThemIntact) {
  auto write = unboundCell<host_abi::FormattedFileWriteFn>(HostFunction::formattedFileWrite);
  std::string name = workDir.file("numbers.txt");
  FILE* file = std::fopen(name.c_str(), "wb");  // binary: the same line end everywhere
  ASSERT_NE(file, nullptr);
  write(file, "%d %.2f %s %.4f\n", 7, 15.99, "SZT", 4.2);
  std::fclose(file);
  EXPECT_EQ(readWholeFile(name), "7 15.99 SZT 4.2000\n");
}

TEST_F(FirstCallTest, FloatingResultComesBackUnchanged) {
  standin::setExchangeRate("EUR", 4.2);
  auto rate = unboundCell<host_abi::ExchangeRateFn>(HostFunction::exchangeRate);
  EXPECT_EQ(rate("26.12.08", "EUR", 1, 0, 0), 4.2);
  EXPECT_EQ(rate("26.12.08", "XYZ", 1, 0, 0), 0.0);
}

TEST_F(FirstCallTest, MethodReceivesItsObjectAndArguments) {
  auto construct = unboundCell<host_abi::FileHolderConstructFn>(HostFunction::fileHolderConstruct);
  auto giveUp = unboundCell<host_abi::FileHolderGiveUpFn>(HostFunction::fileHolderGiveUp);
  host_abi::HostObjectStorage holder{};
  int marker = 0;
  EXPECT_EQ(construct(&holder, &marker), &holder);
  EXPECT_EQ(giveUp(&holder), &marker);
  EXPECT_EQ(giveUp(&holder), nullptr);
}

TEST_F(FirstCallTest, InheritedOperationSlotReachesTheHostEveryTime) {
  // A virtual-operation slot holds the entry routine for good.
  using Operation = int32_t(MG_THISCALL*)(void*, int32_t, int32_t);
  auto operation = reinterpret_cast<Operation>(hostFunctionEntry(HostFunction::dialogOp20967));
  host_abi::WDialogBase object{};
  volatile int guard = 0x5A5A5A5A;
  EXPECT_EQ(operation(&object, 3, 4), standin::dialogOperationResult(20967, 3, 4));
  EXPECT_EQ(operation(&object, 5, 6), standin::dialogOperationResult(20967, 5, 6));
  EXPECT_EQ(guard, 0x5A5A5A5A);
  EXPECT_EQ(standin::callCount(20967), 2);
}

}  // namespace
