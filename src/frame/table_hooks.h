// Hooks on the host's document tables "Tspr_dok" (45) and "Tspr" (44): the
// record-size check, putting the plug-in's operations in place of the
// host's and back, and the list of size mismatches the diagnosis reports.
#pragma once

#include <cstdint>

#include "hostlink/host_abi.h"

struct SizeMismatch {
  int32_t expected;  // the plug-in's record size
  int32_t actual;    // the host's, 0 when the host gave no table
  const char* tableName;
  SizeMismatch* next;
};

constexpr int32_t kDocumentTable = 45;  // "Tspr_dok"
constexpr int32_t kListTable = 44;      // "Tspr"
constexpr int32_t kDocumentRecordSize = 515;
constexpr int32_t kListRecordSize = 1469;

// 0 when both tables are hooked, -1 when one did not match (recorded).
int installTableHooks();
// Puts the host's operations back into the hooked tables.
void restoreTableHooks();
// Compares both tables' record sizes; returns the length of the mismatch list.
int checkTableSizes();

// Appends a record unless it is on the list already; always -1.
int addSizeMismatch(SizeMismatch* record);
int countSizeMismatches();
const SizeMismatch* sizeMismatchList();

// The operation the hook replaced in the table (45 or 44); null when the
// table is not hooked.
host_abi::TableOperation previousTableOperation(int32_t tableNumber);

// Unhooks both tables without touching them and empties the mismatch list:
// for tests that need a frame as freshly loaded.
void resetTableHookState();
