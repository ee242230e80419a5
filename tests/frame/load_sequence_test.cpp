// The load sequence through the entry points: the load check and its
// refusals, the start, the unload, and the two forwarding entries.
#include <gtest/gtest.h>

#include <cstring>

#include "frame/command_descriptor.h"
#include "frame/entry_points.h"
#include "frame/frame_fixture.h"
#include "frame/frame_state.h"
#include "frame/plugin_identity.h"
#include "hostlink/host_services.h"
#include "frame/table_hooks.h"
#include "service/status_push.h"
#include "control/table_control.h"

namespace {

using LoadSequenceTest = FrameTest;

std::vector<std::pair<uint32_t, uint32_t>> featureRequests;

// A host feature function that offers everything asked of it.
uint32_t MG_CDECL offerEveryFeature(uint32_t code, uint32_t value) {
  featureRequests.emplace_back(code, value);
  return value;
}

TEST_F(LoadSequenceTest, CompliantHostIsAcceptedAndGetsTheCommand) {
  featureRequests.clear();
  EXPECT_EQ(ordinal_30001(&offerEveryFeature, nullptr), 0) << "a null name buffer is no reason to refuse";
  EXPECT_TRUE(standin::commandAdded(32528));
  EXPECT_EQ(standin::commandCaption(32528), mazovia("Import zamówień z Marketgate"));
  // The function the host passes replaces the one found at attach.
  EXPECT_EQ(frameState().featureFunction, &offerEveryFeature);
  EXPECT_EQ(featureRequests, (std::vector<std::pair<uint32_t, uint32_t>>{{1, 7}}));
  EXPECT_EQ(frameState().missingFeatureMask, 0u);
}

TEST_F(LoadSequenceTest, NameBufferGetsExactlyTheNameAndItsNul) {
  char buffer[40];
  std::memset(buffer, 0x55, sizeof buffer);
  ordinal_30001(featureFunction, buffer);
  EXPECT_EQ(std::string(buffer), mazovia("Import zamówień z Marketgate"));
  EXPECT_EQ(buffer[28], '\0');
  for (size_t i = 29; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0x55) << "byte " << i;
}

TEST_F(LoadSequenceTest, OtherInterfaceLevelsAreRefusedWithNothingAdded) {
  for (int level : {111, 113}) {
    standin::setInterfaceLevel(level);
    char buffer[29] = {};
    EXPECT_EQ(ordinal_30001(featureFunction, buffer), -1) << level;
    EXPECT_EQ(std::string(buffer), mazovia("Import zamówień z Marketgate")) << "copied before the checks";
    EXPECT_EQ(standin::callCount(52081), 0) << level;
  }
}

TEST_F(LoadSequenceTest, RefusingVerificationRefusesTheLoad) {
  standin::setVerifyRefusal("nie");
  EXPECT_EQ(ordinal_30001(featureFunction, nullptr), -1);
  EXPECT_EQ(callDetails(30018), (std::vector<std::string>{"0"}));
  EXPECT_EQ(standin::callCount(52081), 0);
}

TEST_F(LoadSequenceTest, DeniedFeatureRefusesTheLoad) {
  standin::setMissingFeatures(0x2);
  EXPECT_EQ(ordinal_30001(featureFunction, nullptr), -1);
  EXPECT_EQ(frameState().missingFeatureMask, 0x2u);
  EXPECT_EQ(standin::callCount(52081), 0);
}

// A host without some functions would sooner or later be called through
// an empty cell: nothing that calls the host runs for it.
TEST_F(LoadSequenceTest, HostLackingFunctionsIsRefusedAndNeverStarted) {
  rebindWithout({52020, 30018});
  EXPECT_EQ(ordinal_30001(featureFunction, nullptr), -1);
  EXPECT_EQ(standin::callCount(52081), 0);
  standin::clearCalls();
  EXPECT_EQ(ordinal_30008(0), -1);
  EXPECT_EQ(standin::callCount(52256), 0) << "no table touched";
  EXPECT_EQ(standin::callCount(52023), 0) << "no notice";
  EXPECT_EQ(ordinal_30001(nullptr, nullptr), 0);
}

TEST_F(LoadSequenceTest, UnloadWithNothingInstalledOnlyRemovesTheCommand) {
  EXPECT_EQ(ordinal_30001(nullptr, nullptr), 0);
  EXPECT_EQ(callDetails(52082), (std::vector<std::string>{"32528"}));
  EXPECT_EQ(standin::callCount(52021), 0);
}

TEST_F(LoadSequenceTest, ForwardingEntriesHaveNoHandler) {
  EXPECT_EQ(static_cast<uint32_t>(ordinal_30010(0)), 0xB669FD2Eu);
  EXPECT_EQ(static_cast<uint32_t>(ordinal_30010(12345)), 0xB669FD2Eu);
  EXPECT_EQ(ordinal_30009(), 0);
  EXPECT_TRUE(standin::calls().empty());
}

TEST_F(LoadSequenceTest, CommandOfARefusedHostShowsNothing) {
  rebindWithout({51757});
  EXPECT_EQ(importCommandDescriptor.handler(), 0);
  EXPECT_TRUE(standin::messages().empty());
  EXPECT_EQ(standin::callCount(20902), 0) << "no dialog object made";
}

TEST_F(LoadSequenceTest, StartAndUnloadPutEverythingInAndTakeItBackOut) {
  standin::HandlerFunction earlier = [](uintptr_t, uintptr_t) MG_STDCALL -> int32_t { return 5; };
  standin::installHandler(2294, earlier);
  host_abi::TableOperation document = hostTableByNumber(45)->operation, list = hostTableByNumber(44)->operation;
  ASSERT_EQ(ordinal_30001(featureFunction, nullptr), 0);
  ASSERT_EQ(ordinal_30008(0), 0);
  EXPECT_EQ(callDetails(52020), (std::vector<std::string>{"2294"}));
  EXPECT_NE(standin::currentHandler(2294), earlier);
  EXPECT_NE(hostTableByNumber(45)->operation, document);
  EXPECT_NE(hostTableByNumber(44)->operation, list);

  EXPECT_EQ(ordinal_30001(nullptr, nullptr), 0);
  EXPECT_EQ(hostTableByNumber(45)->operation, document);
  EXPECT_EQ(hostTableByNumber(44)->operation, list);
  EXPECT_FALSE(standin::commandAdded(32528));
  EXPECT_EQ(callDetails(52021), (std::vector<std::string>{"2294"}));
  EXPECT_EQ(standin::currentHandler(2294), earlier);
  // A second unload has nothing left to withdraw.
  EXPECT_EQ(ordinal_30001(nullptr, nullptr), 0);
  EXPECT_EQ(standin::callCount(52021), 1);
}

int earlierHandlerCalls = 0;

// A host that starts the plug-in twice: its handler is registered once, an
// event reaches the earlier handler once, and unload leaves only the
// earlier handler; a start after unload registers it anew.
TEST_F(LoadSequenceTest, SecondStartRegistersTheHandlerOnlyOnce) {
  standin::HandlerFunction earlier = [](uintptr_t, uintptr_t second) MG_STDCALL -> int32_t {
    ++earlierHandlerCalls;
    return static_cast<int32_t>(second) + 1;
  };
  standin::installHandler(2294, earlier);
  earlierHandlerCalls = 0;
  ASSERT_EQ(ordinal_30001(featureFunction, nullptr), 0);
  ASSERT_EQ(ordinal_30008(0), 0);
  ASSERT_EQ(ordinal_30008(0), 0);
  ASSERT_EQ(standin::callCount(52020), 1) << "an event would make the handler call itself";
  EXPECT_EQ(standin::dispatchHandler(2294, 0, 41), 42);
  EXPECT_EQ(earlierHandlerCalls, 1);

  EXPECT_EQ(ordinal_30001(nullptr, nullptr), 0);
  EXPECT_EQ(standin::currentHandler(2294), earlier);

  ASSERT_EQ(ordinal_30001(featureFunction, nullptr), 0);
  ASSERT_EQ(ordinal_30008(0), 0);
  EXPECT_EQ(standin::callCount(52020), 2);
  EXPECT_EQ(standin::currentHandler(2294), &documentEventHandler);
  EXPECT_EQ(standin::dispatchHandler(2294, 0, 6), 7);
  EXPECT_EQ(earlierHandlerCalls, 2);
  EXPECT_EQ(ordinal_30001(nullptr, nullptr), 0);
  EXPECT_EQ(standin::currentHandler(2294), earlier);
}

TEST_F(LoadSequenceTest, SizeMismatchFoundAtLoadRefusesAndIsKept) {
  standin::setTableRecordSize(44, 1468);
  EXPECT_EQ(ordinal_30001(featureFunction, nullptr), -1);
  EXPECT_EQ(standin::callCount(52081), 0);
  ASSERT_NE(sizeMismatchList(), nullptr);
  EXPECT_EQ(sizeMismatchList()->actual, 1468);
}

TEST_F(LoadSequenceTest, FailedStartRestoresTheTablesButKeepsTheHandler) {
  ASSERT_EQ(ordinal_30001(featureFunction, nullptr), 0);
  standin::removeTable(44);
  host_abi::TableOperation document = hostTableByNumber(45)->operation;
  EXPECT_EQ(ordinal_30008(0), -1);
  EXPECT_EQ(hostTableByNumber(45)->operation, document);
  EXPECT_EQ(standin::currentHandler(2294), &documentEventHandler);
  EXPECT_EQ(standin::callCount(52023), 0) << "no notice for a plug-in out of service";
  EXPECT_EQ(ordinal_30001(nullptr, nullptr), 0);
  EXPECT_EQ(standin::callCount(52021), 1);
}

}  // namespace
