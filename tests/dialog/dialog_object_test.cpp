// The settings dialog object: what construction and destruction leave, the
// table of virtual operations (inherited slots reaching the host's own
// functions with object and arguments as called, the item texts, the
// destructor slot freeing host memory only when asked).
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <set>

#include "dialog/dialog_fixture.h"
#include "hostlink/host_services.h"
#include "control/host_control.h"
#include "settings/dialog_operations.h"

namespace {

using DialogOperationFn = int32_t(MG_THISCALL*)(void*, int32_t, int32_t);
using ItemTextFn = intptr_t(MG_THISCALL*)(void*, int16_t, int32_t);
using DestructorFn = void*(MG_THISCALL*)(void*, uint32_t);

using DialogObjectTest = DialogFixture;

bool allZero(const void* bytes, size_t size) {
  const auto* at = static_cast<const uint8_t*>(bytes);
  for (size_t i = 0; i < size; ++i) {
    if (at[i] != 0) return false;
  }
  return true;
}

TEST_F(DialogObjectTest, ConstructionBuildsTheBaseAndEmptiesSettingsAndList) {
  MarketgateStatus fresh;
  std::memset(&fresh, 0xA5, sizeof fresh);
  constructMarketgateStatus(fresh);
  EXPECT_EQ(standin::liveDialogObjects(), 2) << "the fixture's object and this one";
  EXPECT_EQ(fresh.virtualOperations, marketgateStatusOperations());
  EXPECT_TRUE(allZero(&fresh.settings, sizeof fresh.settings));
  EXPECT_EQ(fresh.statusList.statuses, nullptr);
  EXPECT_EQ(fresh.statusList.count, 0);
  EXPECT_EQ(fresh.statusList.capacity, 0);

  ASSERT_EQ(decodeOrderStatusList(fresh.statusList, kThreeStatuses), 0);
  fresh.settings.EanCzySku = 1;
  destroyMarketgateStatus(fresh);
  EXPECT_EQ(standin::liveDialogObjects(), 1);
  EXPECT_EQ(fresh.statusList.statuses, nullptr) << "the status array is released";
  EXPECT_EQ(fresh.statusList.count, 0);
  EXPECT_TRUE(allZero(&fresh.settings, sizeof fresh.settings));
}

TEST_F(DialogObjectTest, InheritedSlotsReachTheHostFunctionsWithObjectAndArgumentsAsCalled) {
  void* const* own = object.virtualOperations;
  void* const* base = standin::dialogBaseOperations();
  std::set<unsigned> reached;
  volatile int32_t guard = 0x5EED;
  for (int slot = 1; slot < kMarketgateStatusOperations; ++slot) {
    if (slot == kItemTextConvertedSlot || slot == kItemTextStoredSlot) continue;
    size_t before = standin::dialogOperationCalls().size();
    int32_t result = reinterpret_cast<DialogOperationFn>(own[slot])(&object, slot, -7 * slot);
    int32_t baseResult = reinterpret_cast<DialogOperationFn>(base[slot])(&object, slot, -7 * slot);
    ASSERT_EQ(standin::dialogOperationCalls().size(), before + 2) << "slot " << slot;
    const standin::DialogOperationCall& call = standin::dialogOperationCalls()[before];
    const standin::DialogOperationCall& baseCall = standin::dialogOperationCalls()[before + 1];
    EXPECT_EQ(call.ordinal, baseCall.ordinal) << "slot " << slot << " reaches the base class's own operation";
    EXPECT_EQ(call.object, &object) << "slot " << slot;
    EXPECT_EQ(call.first, slot) << "slot " << slot;
    EXPECT_EQ(call.second, -7 * slot) << "slot " << slot;
    EXPECT_EQ(result, baseResult) << "slot " << slot;
    EXPECT_EQ(result, standin::dialogOperationResult(call.ordinal, slot, -7 * slot));
    reached.insert(call.ordinal);
  }
  EXPECT_EQ(reached.size(), 32u) << "every inherited slot reaches a function of its own";
  EXPECT_EQ(guard, 0x5EED);

  // Both ends of both runs of inherited slots, as the host's class has them.
  const std::pair<int, unsigned> ends[] = {{1, 20967}, {2, 20958}, {21, 20947}, {24, 20940}, {34, 24004}};
  for (const auto& end : ends) {
    reinterpret_cast<DialogOperationFn>(own[end.first])(&object, 0, 0);
    EXPECT_EQ(standin::dialogOperationCalls().back().ordinal, end.second) << "slot " << end.first;
  }
}

TEST_F(DialogObjectTest, ItemTextSlotsGiveCountAndTextsOfTheStatuses) {
  auto converted = reinterpret_cast<ItemTextFn>(object.virtualOperations[kItemTextConvertedSlot]);
  auto stored = reinterpret_cast<ItemTextFn>(object.virtualOperations[kItemTextStoredSlot]);
  EXPECT_EQ(converted(&object, -1, 0), 3);
  EXPECT_EQ(stored(&object, -1, 0), 3);
  EXPECT_STREQ(reinterpret_cast<const char*>(stored(&object, 2, 0)), " 30 - Wys\xC5\x82\x61ne");
  EXPECT_STREQ(reinterpret_cast<const char*>(converted(&object, 2, 0)), " 30 - Wys\xB3\x61ne") << "Windows-1250";
  EXPECT_EQ(reinterpret_cast<const char*>(converted(&object, 0, 0)), object.itemText);
}

TEST_F(DialogObjectTest, DestructorSlotFreesTheObjectOnlyWhenAsked) {
  long blocks = standin::liveBlocks();
  void* memory = hostAllocate(sizeof(MarketgateStatus));
  ASSERT_NE(memory, nullptr);
  auto* onHeap = new (memory) MarketgateStatus;
  constructMarketgateStatus(*onHeap);
  ASSERT_EQ(decodeOrderStatusList(onHeap->statusList, kThreeStatuses), 0);
  auto destructor = reinterpret_cast<DestructorFn>(onHeap->virtualOperations[0]);
  EXPECT_EQ(destructor(onHeap, 1), memory);
  EXPECT_EQ(standin::liveBlocks(), blocks) << "object and status array released";
  EXPECT_EQ(standin::liveDialogObjects(), 1);

  // Flags 0: destroyed but not freed (the object is not host memory).
  MarketgateStatus onStack;
  constructMarketgateStatus(onStack);
  ASSERT_EQ(decodeOrderStatusList(onStack.statusList, kThreeStatuses), 0);
  destructor = reinterpret_cast<DestructorFn>(onStack.virtualOperations[0]);
  EXPECT_EQ(destructor(&onStack, 0), &onStack);
  EXPECT_EQ(standin::liveBlocks(), blocks);
  EXPECT_EQ(standin::liveDialogObjects(), 1);
}

}  // namespace
