// Control of the stand-in's document tables and numbered handlers from tests
// and from the tomiks program: which tables exist with which record size,
// their records and current record, calls of a table's operation as the
// host makes them, and the host events that reach registered handlers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/callconv.h"

namespace standin {

constexpr int kListTableNumber = 44;      // "Tspr", records of 1469 bytes
constexpr int kDocumentTableNumber = 45;  // "Tspr_dok", records of 515 bytes

// Tables 44 and 45 exist by default; others exist once given a size.
void setTableRecordSize(int table, int recordSize);
void removeTable(int table);  // the host then has no such table

// Adds a zeroed record with the order id text at byte 2 (cut to the
// record); returns its index, -1 when there is no such table.
int addTableRecord(int table, const std::string& orderIdText);
uint8_t* tableRecord(int table, int index);   // null when there is none
void setCurrentRecord(int table, int index);  // -1: no current record

// Calls the operation the table object holds now (the host's own, or
// whatever a plug-in put there), as the host does; 0 without a table.
int32_t callTableOperation(int table, uintptr_t a1, uintptr_t a2, uintptr_t a3 = 0, uintptr_t a4 = 0, uintptr_t a5 = 0,
                           uintptr_t a6 = 0, uintptr_t a7 = 0, uintptr_t a8 = 0, uintptr_t a9 = 0, uintptr_t a10 = 0,
                           uintptr_t a11 = 0);
// The host's own operation of the table, and what it returns (1 by default).
void* hostTableOperation(int table);
void setTableOperationResult(int table, int32_t result);

// Calls that reached the host's own table operations, with all arguments.
struct TableOperationCall {
  int table;
  uintptr_t arguments[11];
};
const std::vector<TableOperationCall>& tableOperationCalls();

// The record-address array and the list view the host passes as fourth and
// sixth arguments when a row of the table's list is chosen; the view
// selects the record with this index. Valid until the next call or reset.
struct ListSelection {
  uintptr_t recordArray;
  uintptr_t listView;
};
ListSelection listSelection(int table, int selectedIndex);

// Numbered handlers (52020 registers, 52021 withdraws).
using HandlerFunction = int32_t(MG_STDCALL*)(uintptr_t, uintptr_t);
void installHandler(int code, HandlerFunction handler);  // as if someone registered it before
HandlerFunction currentHandler(int code);
// The host raising event `code`: calls the current handler; 0 without one.
int32_t dispatchHandler(int code, uintptr_t first, uintptr_t second);

}  // namespace standin
