// The settings dialog class, derived from the host's dialog base class: the
// host's base part, the options record, the status list and the buffer in
// which the pick lists' item texts are built. Also the plain holder of
// options and statuses wherever no dialog is shown.
#pragma once

#include <cstdint>

#include "hostlink/host_abi.h"
#include "settings/import_settings.h"
#include "settings/order_status_list.h"

struct MarketgateStatus : host_abi::WDialogBase {
  ImportSettings settings;
  OrderStatusList statusList;
  char itemText[1000];
};

// Number of virtual operations in the class's table.
constexpr int kMarketgateStatusOperations = 35;
// Slots (0-based) of the two item text operations the class overrides.
constexpr int kItemTextConvertedSlot = 22;
constexpr int kItemTextStoredSlot = 23;

// Builds the host's base part, sets the class's own operations and empties
// settings and status list.
void constructMarketgateStatus(MarketgateStatus& object);
// Releases the status list, empties the settings and destroys the base part.
void destroyMarketgateStatus(MarketgateStatus& object);

// Loads the settings and shows the dialog; saves on "Importuj" (F12).
// Returns the identifier of the closing button (20481 to import).
int runDialog(MarketgateStatus& object);
