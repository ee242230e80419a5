// The plug-in's operations in the host's document tables "Tspr_dok" and
// "Tspr", and its handler of host code 2294: each recognises the host event
// that hands over an order's document, pushes the order's status, and then
// lets the host's own operation (or the previous handler) run as called.
#include <cstring>

#include "frame/frame_state.h"
#include "hostlink/host_services.h"
#include "frame/table_hooks.h"
#include "service/status_push.h"

namespace {

// Host events, compared only: a document of "Tspr_dok" handled, a row of
// the "Tspr" list chosen, and the current document taken over.
constexpr uintptr_t kDocumentEvent = 2001;
constexpr uintptr_t kDocumentEventDetail = 802;
constexpr uintptr_t kListEvent = 17408;
constexpr uintptr_t kListEventDetail = 801;
constexpr uint16_t kTakeOverEvent = 0xFFFE;
constexpr int32_t kRecordAccessMode = 255;
constexpr int32_t kOrderIdField = 16651;
// The order id text begins at byte 2 of a "Tspr" record.
constexpr size_t kOrderIdOffset = 2;
constexpr int32_t kOrderIdCapacity = 256;

// Copies the text that begins at the order id's place in a record, never
// reading past the record's end.
void orderIdFromRecord(const uint8_t* record, size_t recordSize, char* text, size_t capacity) {
  text[0] = '\0';
  if (record == nullptr || recordSize <= kOrderIdOffset) return;
  size_t available = recordSize - kOrderIdOffset;
  const uint8_t* start = record + kOrderIdOffset;
  const void* end = std::memchr(start, '\0', available);
  size_t length = end != nullptr ? static_cast<const uint8_t*>(end) - start : available;
  if (length > capacity - 1) length = capacity - 1;
  std::memcpy(text, start, length);
  text[length] = '\0';
}

// A "Tspr" record's length: the plug-in's, or the host's when it says less.
size_t listRecordBound(const host_abi::TableObject* list) {
  if (list != nullptr && list->recordSize > 0 && list->recordSize < kListRecordSize) return list->recordSize;
  return kListRecordSize;
}

void pushRecordOrder(const uint8_t* record, size_t recordSize) {
  char orderId[kListRecordSize - kOrderIdOffset + 1];
  orderIdFromRecord(record, recordSize, orderId, sizeof orderId);
  pushHandledOrder(orderId);
}

// Table 44 with its record access done, as both operations start; null
// when the host has no such table.
host_abi::TableObject* accessListTable() {
  host_abi::TableObject* table = hostTableByNumber(kListTable);
  if (table != nullptr) hostTableRecordAccess(table, kRecordAccessMode);
  return table;
}

// The row a list view shows as selected: row - first + offset.
const uint8_t* selectedRecord(uintptr_t recordArray, uintptr_t listView) {
  const auto* records = reinterpret_cast<const uint8_t* const*>(recordArray);
  const auto* view = reinterpret_cast<const host_abi::ListView*>(listView);
  if (records == nullptr || view == nullptr) return nullptr;
  int64_t index = int64_t{view->row} - view->first + view->offset;
  if (index < 0) return nullptr;
  return records[index];
}

}  // namespace

int32_t MG_STDCALL documentTableOperation(uintptr_t a1, uintptr_t a2, uintptr_t a3, uintptr_t a4, uintptr_t a5,
                                          uintptr_t a6, uintptr_t a7, uintptr_t a8, uintptr_t a9, uintptr_t a10,
                                          uintptr_t a11) {
  // Not hooked (nothing to hand the call on to): the host cannot mean this call.
  host_abi::TableOperation previous = previousTableOperation(kDocumentTable);
  if (previous == nullptr) return 0;
  host_abi::TableObject* list = accessListTable();
  if (a1 == kDocumentEvent && a2 == kDocumentEventDetail && list != nullptr && list->currentRecord != nullptr) {
    pushRecordOrder(list->currentRecord, listRecordBound(list));
  }
  return previous(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}

int32_t MG_STDCALL listTableOperation(uintptr_t a1, uintptr_t a2, uintptr_t a3, uintptr_t a4, uintptr_t a5,
                                      uintptr_t a6, uintptr_t a7, uintptr_t a8, uintptr_t a9, uintptr_t a10,
                                      uintptr_t a11) {
  host_abi::TableOperation previous = previousTableOperation(kListTable);
  if (previous == nullptr) return 0;
  host_abi::TableObject* list = accessListTable();
  if (a1 == kListEvent && a2 == kListEventDetail) {
    const uint8_t* record = selectedRecord(a4, a6);
    if (record != nullptr) pushRecordOrder(record, listRecordBound(list));
  }
  return previous(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}

int32_t MG_STDCALL documentEventHandler(uintptr_t first, uintptr_t second) {
  if ((second & 0xFFFF) == kTakeOverEvent) {
    // The host's text may be rebuilt by the host calls of the push: copy it first.
    const char* field = hostDocumentFieldText(kOrderIdField);
    if (field != nullptr) {
      char orderId[kOrderIdCapacity];
      hostBoundedCopy(orderId, field, kOrderIdCapacity - 1);
      pushHandledOrder(orderId);
    }
  }
  host_abi::NumberedHandler* registration = frameState().handlerRegistration;
  if (registration != nullptr && *registration != nullptr) return (*registration)(first, second);
  return 0;
}
