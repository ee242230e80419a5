// The host's document tables, their record access, the current document's
// field texts and the registry of numbered handlers. Table objects and
// handler cells are never freed: a reset sets them back to a fresh host's.
#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <utility>

#include "core/host_exports.h"

using standin::recordCall;
using standin::state;

namespace {

constexpr int kOperationSlots = 16;
constexpr int32_t kOrderIdField = 16651;
constexpr size_t kOrderIdOffset = 2;

struct StandinTable {
  host_abi::TableObject object;  // what the plug-in is given
  int number = 0;
  int slot = 0;  // which of the host's operation functions is this table's
  bool present = false;
  int32_t operationResult = 1;
  std::deque<std::vector<uint8_t>> records;
  std::vector<uint8_t*> recordArray;
  host_abi::ListView view;
};

std::map<int, std::unique_ptr<StandinTable>>& tables() {
  static std::map<int, std::unique_ptr<StandinTable>> pool;
  return pool;
}

std::deque<standin::HandlerFunction>& handlerCells() {
  static std::deque<standin::HandlerFunction> cells;
  return cells;
}

int tableNumberOfSlot(int slot);

// The host's own table operation; each table has one of its own.
template <int Slot>
int32_t MG_STDCALL hostOperation(uintptr_t a1, uintptr_t a2, uintptr_t a3, uintptr_t a4, uintptr_t a5, uintptr_t a6,
                                 uintptr_t a7, uintptr_t a8, uintptr_t a9, uintptr_t a10, uintptr_t a11) {
  int number = tableNumberOfSlot(Slot);
  standin::TableOperationCall call{number, {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11}};
  state().tables.operationCalls.push_back(call);
  auto found = tables().find(number);
  return found != tables().end() ? found->second->operationResult : 0;
}

template <size_t... Slots>
constexpr std::array<host_abi::TableOperation, sizeof...(Slots)> operationTable(std::index_sequence<Slots...>) {
  return {{&hostOperation<static_cast<int>(Slots)>...}};
}

const std::array<host_abi::TableOperation, kOperationSlots> kOperations =
    operationTable(std::make_index_sequence<kOperationSlots>{});

int tableNumberOfSlot(int slot) {
  for (const auto& entry : tables()) {
    if (entry.second->slot == slot) return entry.first;
  }
  return -1;
}

int16_t defaultRecordSize(int number) {
  if (number == standin::kListTableNumber) return 1469;
  if (number == standin::kDocumentTableNumber) return 515;
  return 0;
}

void setBack(StandinTable& table) {
  std::memset(&table.object, 0, sizeof table.object);
  table.object.recordSize = defaultRecordSize(table.number);
  table.object.operation = kOperations[table.slot];
  table.present = table.object.recordSize != 0;
  table.operationResult = 1;
  table.records.clear();
  table.recordArray.clear();
  std::memset(&table.view, 0, sizeof table.view);
}

StandinTable& makeTable(int number) {
  auto& pool = tables();
  auto found = pool.find(number);
  if (found != pool.end()) return *found->second;
  auto table = std::make_unique<StandinTable>();
  table->number = number;
  table->slot = static_cast<int>(pool.size()) % kOperationSlots;
  setBack(*table);
  return *(pool[number] = std::move(table));
}

// After a reset the tables are set back before anything looks at them.
void prepareTables() {
  if (state().tables.prepared) return;
  makeTable(standin::kListTableNumber);
  makeTable(standin::kDocumentTableNumber);
  for (auto& entry : tables()) setBack(*entry.second);
  state().tables.prepared = true;
}

StandinTable* presentTable(int number) {
  prepareTables();
  auto found = tables().find(number);
  return found != tables().end() && found->second->present ? found->second.get() : nullptr;
}

StandinTable* tableOfObject(const host_abi::TableObject* object) {
  prepareTables();
  for (auto& entry : tables()) {
    if (&entry.second->object == object && entry.second->present) return entry.second.get();
  }
  return nullptr;
}

// The text that begins at the order id's place, never read past the record.
std::string orderIdText(const StandinTable& table, const uint8_t* record) {
  size_t size = static_cast<size_t>(table.object.recordSize);
  if (record == nullptr || size <= kOrderIdOffset) return std::string();
  const uint8_t* start = record + kOrderIdOffset;
  const void* nul = std::memchr(start, 0, size - kOrderIdOffset);
  size_t length = nul != nullptr ? static_cast<const uint8_t*>(nul) - start : size - kOrderIdOffset;
  return std::string(reinterpret_cast<const char*>(start), length);
}

}  // namespace

namespace standin {

void setTableRecordSize(int table, int recordSize) {
  prepareTables();
  StandinTable& made = makeTable(table);
  made.object.recordSize = static_cast<int16_t>(recordSize);
  made.present = true;
  made.records.clear();
  made.recordArray.clear();
  made.object.currentRecord = nullptr;
}

void removeTable(int table) {
  prepareTables();
  auto found = tables().find(table);
  if (found == tables().end()) return;
  setBack(*found->second);
  found->second->present = false;
}

int addTableRecord(int table, const std::string& orderIdText) {
  StandinTable* found = presentTable(table);
  if (found == nullptr || found->object.recordSize <= 0) return -1;
  size_t size = static_cast<size_t>(found->object.recordSize);
  std::vector<uint8_t> record(size, 0);
  if (size > kOrderIdOffset + 1) {
    size_t length = std::min(orderIdText.size(), size - kOrderIdOffset - 1);
    std::memcpy(record.data() + kOrderIdOffset, orderIdText.data(), length);
  }
  found->records.push_back(std::move(record));
  return static_cast<int>(found->records.size()) - 1;
}

uint8_t* tableRecord(int table, int index) {
  StandinTable* found = presentTable(table);
  if (found == nullptr || index < 0 || index >= static_cast<int>(found->records.size())) return nullptr;
  return found->records[static_cast<size_t>(index)].data();
}

void setCurrentRecord(int table, int index) {
  StandinTable* found = presentTable(table);
  if (found != nullptr) found->object.currentRecord = tableRecord(table, index);
}

int32_t callTableOperation(int table, uintptr_t a1, uintptr_t a2, uintptr_t a3, uintptr_t a4, uintptr_t a5,
                           uintptr_t a6, uintptr_t a7, uintptr_t a8, uintptr_t a9, uintptr_t a10, uintptr_t a11) {
  StandinTable* found = presentTable(table);
  if (found == nullptr || found->object.operation == nullptr) return 0;
  return found->object.operation(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}

void* hostTableOperation(int table) {
  prepareTables();
  return reinterpret_cast<void*>(kOperations[makeTable(table).slot]);
}

void setTableOperationResult(int table, int32_t result) {
  prepareTables();
  makeTable(table).operationResult = result;
}

const std::vector<TableOperationCall>& tableOperationCalls() { return state().tables.operationCalls; }

ListSelection listSelection(int table, int selectedIndex) {
  StandinTable* found = presentTable(table);
  if (found == nullptr) return ListSelection{0, 0};
  found->recordArray.clear();
  for (std::vector<uint8_t>& record : found->records) found->recordArray.push_back(record.data());
  // The view scrolled and offset, as the host's list is: the selected row
  // is row - first + offset.
  std::memset(&found->view, 0, sizeof found->view);
  found->view.first = 7;
  found->view.offset = 2;
  found->view.row = selectedIndex + found->view.first - found->view.offset;
  return ListSelection{reinterpret_cast<uintptr_t>(found->recordArray.data()),
                       reinterpret_cast<uintptr_t>(&found->view)};
}

void installHandler(int code, HandlerFunction handler) { state().tables.handlers[code] = handler; }

HandlerFunction currentHandler(int code) {
  auto found = state().tables.handlers.find(code);
  return found != state().tables.handlers.end() ? found->second : nullptr;
}

int32_t dispatchHandler(int code, uintptr_t first, uintptr_t second) {
  HandlerFunction handler = currentHandler(code);
  return handler != nullptr ? handler(first, second) : 0;
}

}  // namespace standin

STANDIN_EXPORT host_abi::TableObject* MG_STDCALL ordinal_52256(int32_t number) {
  recordCall(52256, std::to_string(number));
  StandinTable* found = presentTable(number);
  return found != nullptr ? &found->object : nullptr;
}

// Brings the table's current record up to date; 1 when it has one.
STANDIN_EXPORT int32_t MG_STDCALL ordinal_52465(host_abi::TableObject* table, int32_t mode) {
  StandinTable* found = tableOfObject(table);
  recordCall(52465,
             (found != nullptr ? std::to_string(found->number) : std::string("unknown")) + " " + std::to_string(mode));
  return found != nullptr && found->object.currentRecord != nullptr ? 1 : 0;
}

// Field 16651 of the current document: the order id text of the current
// record of "Tspr". Other fields are empty.
STANDIN_EXPORT const char* MG_STDCALL ordinal_52033(int32_t field) {
  recordCall(52033, std::to_string(field));
  std::string& text = state().tables.fieldText;
  text.clear();
  StandinTable* list = presentTable(standin::kListTableNumber);
  if (field == kOrderIdField && list != nullptr) text = orderIdText(*list, list->object.currentRecord);
  return text.c_str();
}

// Registers a handler under a code; returns the cell that holds the
// handler registered before it (null inside when there was none).
STANDIN_EXPORT host_abi::NumberedHandler* MG_STDCALL ordinal_52020(int32_t code, host_abi::NumberedHandler handler) {
  recordCall(52020, std::to_string(code));
  standin::TableState& tablesState = state().tables;
  handlerCells().push_back(standin::currentHandler(code));
  standin::HandlerFunction* cell = &handlerCells().back();
  tablesState.registrations[code].push_back(cell);
  tablesState.handlers[code] = handler;
  return cell;
}

// Withdraws the latest handler of the code, putting the previous one back.
STANDIN_EXPORT int32_t MG_STDCALL ordinal_52021(int32_t code) {
  recordCall(52021, std::to_string(code));
  std::vector<standin::HandlerFunction*>& cells = state().tables.registrations[code];
  if (cells.empty()) return 0;
  state().tables.handlers[code] = *cells.back();
  cells.pop_back();
  return 1;
}

STANDIN_CHECK_SIGNATURE(52256, TableByNumberFn);
STANDIN_CHECK_SIGNATURE(52465, TableRecordAccessFn);
STANDIN_CHECK_SIGNATURE(52033, DocumentFieldTextFn);
STANDIN_CHECK_SIGNATURE(52020, RegisterHandlerFn);
STANDIN_CHECK_SIGNATURE(52021, WithdrawHandlerFn);
