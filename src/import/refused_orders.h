// Orders the import cannot carry faithfully (a bad id or number): they are
// named once per run by their id as the service sent it, and listed with
// the other orders a run names in its closing messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct JsonObject;
struct SeenOrders;

// Notes the index-th element of the reply's "orders" array as refused,
// unless this run has met the same order text before. reply may be null
// (the id is then written from the parsed order).
void noteRefusedOrder(SeenOrders& seen, const char* reply, uint32_t index, const JsonObject* order);

// The orders joined by ", " in the Mazovia code page, each cut to 24 bytes
// and the whole to about 300, an ellipsis marking what was left out.
std::string shownOrderNames(const std::vector<std::string>& orders);
