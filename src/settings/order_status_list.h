// The service's order statuses, in the service's order: decoded from a
// getOrderStatusList reply, shown in the dialog's pick lists, and turned
// from the user's positions back into status ids.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/callconv.h"

struct OrderStatus {
  int32_t id;
  char name[30];
  char name_for_customer[50];
};
static_assert(sizeof(OrderStatus) == 84, "a status entry is 84 bytes");

struct OrderStatusList {
  OrderStatus* statuses;  // host memory, owned by the list
  int32_t count;
  int32_t capacity;
};

// Appends the statuses of a getOrderStatusList reply; 0, or -1 when the
// reply holds no "statuses" array.
int decodeOrderStatusList(OrderStatusList& list, const char* reply);

// The status at a position, or null when the list does not hold it.
const OrderStatus* statusAt(const OrderStatusList& list, int position);

struct MarketgateStatus;

// Item texts of the status pick lists (virtual operations of the dialog
// object): index -1 gives the number of entries, any other index the text
// " <id> - <name>" in the object's item text buffer. The first variant
// converts the name to the host's code page, the second uses it as stored.
intptr_t MG_THISCALL statusItemTextConverted(MarketgateStatus* object, int16_t index, int32_t unused);
intptr_t MG_THISCALL statusItemTextStored(MarketgateStatus* object, int16_t index, int32_t unused);
