// Translation of one page of the service's orders (a getOrders reply) into
// documents of the host's universal import, appended to the open import
// file; taken-over orders are moved on to the outgoing status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>

// Orders per page of the getOrders method: a full page means more may follow.
constexpr uint32_t kOrdersPageSize = 100;

// The "order_id"s one import run has already met. A page that repeats an
// order (the confirmation-date bound is inclusive) leaves it alone.
struct SeenOrders {
  std::unordered_set<double> ids;
};

// Translates the orders of one reply. 0 when the reply held an "orders"
// array, -1 when it was unusable (nothing written then). A page of exactly
// 100 orders stores the last order's "date_confirmed" in *nextPageDate,
// which is left alone otherwise. With seen given, orders already in it are
// skipped whole and every order read is added to it.
int translateOrders(const char* reply, void* file, int32_t documentKind, int32_t symbolSource,
                    int32_t* nextPageDate, SeenOrders* seen = nullptr);

// Capacity of the shipment symbol: 19 characters and the terminator.
constexpr size_t kShipmentSymbolSize = 20;

// The symbol of the shipping position for the amount: the stored symbol (or
// "przesylka") with the amount appended unless the options say otherwise;
// cut to capacity - 1 characters. Returns symbol.
char* shipmentSymbol(char* symbol, size_t capacity, double amount);

// 1 when the tax id holds an ASCII letter or digit; otherwise empties it and
// gives 0.
int taxIdPresent(char* taxId);
