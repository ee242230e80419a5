// The settings dialog class's table of virtual operations (see
// dialog_operations.h). Inherited slots hold the entry routines of the host
// functions: they go on through the function's cell as a jump, so the host
// receives the call exactly as made (object in ECX, arguments and return
// address untouched).
#include "settings/dialog_operations.h"

#include "hostlink/host_binding.h"
#include "settings/marketgate_status.h"

namespace {

enum class SlotKind { destructor, itemTextConverted, itemTextStored, inherited };

struct OperationSlot {
  SlotKind kind;
  HostFunction function;  // for inherited slots
};

constexpr OperationSlot own(SlotKind kind) { return OperationSlot{kind, HostFunction::count}; }
constexpr OperationSlot host(HostFunction function) { return OperationSlot{SlotKind::inherited, function}; }

constexpr OperationSlot kSlots[kMarketgateStatusOperations] = {
    own(SlotKind::destructor),         host(HostFunction::dialogOp20967), host(HostFunction::dialogOp20958),
    host(HostFunction::dialogOp20959), host(HostFunction::dialogOp20960), host(HostFunction::dialogOp20961),
    host(HostFunction::dialogOp20962), host(HostFunction::dialogOp20963), host(HostFunction::dialogOp20964),
    host(HostFunction::dialogOp20965), host(HostFunction::dialogOp20966), host(HostFunction::dialogOp20957),
    host(HostFunction::dialogOp20948), host(HostFunction::dialogOp20949), host(HostFunction::dialogOp20950),
    host(HostFunction::dialogOp20951), host(HostFunction::dialogOp20952), host(HostFunction::dialogOp20953),
    host(HostFunction::dialogOp20954), host(HostFunction::dialogOp20955), host(HostFunction::dialogOp20956),
    host(HostFunction::dialogOp20947), own(SlotKind::itemTextConverted),  own(SlotKind::itemTextStored),
    host(HostFunction::dialogOp20940), host(HostFunction::dialogOp20941), host(HostFunction::dialogOp20942),
    host(HostFunction::dialogOp20943), host(HostFunction::dialogOp20944), host(HostFunction::dialogOp20945),
    host(HostFunction::dialogOp20946), host(HostFunction::dialogOp20937), host(HostFunction::dialogOp24002),
    host(HostFunction::dialogOp24003), host(HostFunction::dialogOp24004),
};

static_assert(kSlots[0].kind == SlotKind::destructor, "the destructor comes first");
static_assert(kSlots[kItemTextConvertedSlot].kind == SlotKind::itemTextConverted, "converted item text slot");
static_assert(kSlots[kItemTextStoredSlot].kind == SlotKind::itemTextStored, "stored item text slot");

void* slotAddress(const OperationSlot& slot) {
  switch (slot.kind) {
    case SlotKind::destructor:
      return reinterpret_cast<void*>(&marketgateStatusDestructor);
    case SlotKind::itemTextConverted:
      return reinterpret_cast<void*>(&statusItemTextConverted);
    case SlotKind::itemTextStored:
      return reinterpret_cast<void*>(&statusItemTextStored);
    case SlotKind::inherited:
      break;
  }
  return hostFunctionEntry(slot.function);
}

struct OperationTable {
  void* slots[kMarketgateStatusOperations];
  OperationTable() {
    for (int i = 0; i < kMarketgateStatusOperations; ++i) slots[i] = slotAddress(kSlots[i]);
  }
};

}  // namespace

void* const* marketgateStatusOperations() {
  static const OperationTable table;
  return table.slots;
}
