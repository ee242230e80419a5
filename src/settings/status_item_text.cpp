// Item texts of the settings dialog's status pick lists: the number of
// entries for index -1, else " <id> - <name>" in the object's item buffer.
#include <cstdio>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"
#include "settings/marketgate_status.h"
#include "settings/order_status_list.h"

namespace {

constexpr int16_t kCountIndex = -1;
constexpr int32_t kConvertedNameCapacity = 150;

size_t boundedLength(const char* text, size_t capacity) {
  size_t length = 0;
  while (length < capacity && text[length] != '\0') ++length;
  return length;
}

intptr_t entryCount(const MarketgateStatus& object) { return object.statusList.count; }

// The item text for a status (its name as given); an index the list does
// not hold gives an empty text.
intptr_t writeItemText(MarketgateStatus& object, const OrderStatus* status, const char* name) {
  if (status == nullptr) {
    object.itemText[0] = '\0';
  } else {
    std::snprintf(object.itemText, sizeof object.itemText, " %d - %s", static_cast<int>(status->id), name);
    object.itemText[sizeof object.itemText - 1] = '\0';
  }
  return reinterpret_cast<intptr_t>(object.itemText);
}

}  // namespace

intptr_t MG_THISCALL statusItemTextConverted(MarketgateStatus* object, int16_t index, int32_t) {
  if (index == kCountIndex) return entryCount(*object);
  const OrderStatus* status = statusAt(object->statusList, index);
  char converted[kConvertedNameCapacity] = {};
  if (status != nullptr) {
    int32_t length = static_cast<int32_t>(boundedLength(status->name, sizeof status->name));
    hostConvertText(converted, sizeof converted, status->name, length, host_abi::kCodeUtf8, host_abi::kCodeWindows1250);
  }
  return writeItemText(*object, status, converted);
}

intptr_t MG_THISCALL statusItemTextStored(MarketgateStatus* object, int16_t index, int32_t) {
  if (index == kCountIndex) return entryCount(*object);
  const OrderStatus* status = statusAt(object->statusList, index);
  return writeItemText(*object, status, status != nullptr ? status->name : "");
}
