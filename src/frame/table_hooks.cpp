// Document-table hooks and the size-mismatch list (see table_hooks.h).
#include "frame/table_hooks.h"

#include <initializer_list>

#include "hostlink/host_services.h"
#include "service/status_push.h"

namespace {

struct TableHook {
  int32_t number;
  const char* name;
  int32_t expectedSize;
  host_abi::TableOperation replacement;
  host_abi::TableObject* hooked;
  host_abi::TableOperation previous;
  SizeMismatch installRecord;
  SizeMismatch checkRecord;
};

TableHook documentHook = {
    kDocumentTable, "Tspr_dok", kDocumentRecordSize, &documentTableOperation, nullptr, nullptr, {}, {}};
TableHook listHook = {kListTable, "Tspr", kListRecordSize, &listTableOperation, nullptr, nullptr, {}, {}};

SizeMismatch* listHead = nullptr;

// Fills a record anew; its place and link on the list stay as they are.
void fillMismatch(SizeMismatch& record, const TableHook& hook, const host_abi::TableObject* table) {
  record.expected = hook.expectedSize;
  record.actual = table != nullptr ? table->recordSize : 0;
  record.tableName = hook.name;
}

// Hooks one table; -1 (and a recorded mismatch) when it does not match.
int installHook(TableHook& hook) {
  host_abi::TableObject* table = hostTableByNumber(hook.number);
  if (table == nullptr || table->recordSize != hook.expectedSize) {
    fillMismatch(hook.installRecord, hook, table);
    addSizeMismatch(&hook.installRecord);
    return -1;
  }
  hook.previous = table->operation;
  table->operation = hook.replacement;
  hook.hooked = table;
  return 0;
}

void restoreHook(TableHook& hook) {
  if (hook.hooked == nullptr) return;
  hook.hooked->operation = hook.previous;
  hook.hooked = nullptr;
}

void checkSize(TableHook& hook) {
  host_abi::TableObject* table = hostTableByNumber(hook.number);
  fillMismatch(hook.checkRecord, hook, table);
  if (hook.checkRecord.expected != hook.checkRecord.actual) addSizeMismatch(&hook.checkRecord);
}

}  // namespace

int installTableHooks() {
  if (documentHook.hooked == nullptr && installHook(documentHook) != 0) return -1;
  if (listHook.hooked != nullptr) return 0;
  return installHook(listHook);
}

void restoreTableHooks() {
  restoreHook(documentHook);
  restoreHook(listHook);
}

int checkTableSizes() {
  checkSize(listHook);
  checkSize(documentHook);
  return countSizeMismatches();
}

int addSizeMismatch(SizeMismatch* record) {
  if (listHead == nullptr) {
    listHead = record;
    return -1;
  }
  SizeMismatch* last = listHead;
  for (;;) {
    if (last == record) return -1;
    if (last->next == nullptr) break;
    last = last->next;
  }
  last->next = record;
  return -1;
}

int countSizeMismatches() {
  int count = 0;
  for (const SizeMismatch* record = listHead; record != nullptr; record = record->next) ++count;
  return count;
}

const SizeMismatch* sizeMismatchList() { return listHead; }

host_abi::TableOperation previousTableOperation(int32_t tableNumber) {
  const TableHook& hook = tableNumber == kDocumentTable ? documentHook : listHook;
  return hook.hooked != nullptr ? hook.previous : nullptr;
}

void resetTableHookState() {
  documentHook.hooked = nullptr;
  listHook.hooked = nullptr;
  for (TableHook* hook : {&documentHook, &listHook}) {
    hook->installRecord = SizeMismatch{};
    hook->checkRecord = SizeMismatch{};
  }
  listHead = nullptr;
}
