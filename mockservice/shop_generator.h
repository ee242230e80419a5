// Generator of large, realistic shops for benchmarks: Polish customers,
// products and addresses, orders of about 1,500 bytes each, confirmation
// dates that rise with runs of equal values.
#pragma once

#include <functional>
#include <string>

namespace mockgate {

struct ShopGenOptions {
    long long orders = 1000;
    long long statusId = 101;  // every generated order stands in this status
    unsigned long long seed = 1;
};

// Longest run of orders sharing one "date_confirmed"; kept well below a
// page of 100 so that paging by confirmation date always moves on.
constexpr int kMaxEqualDateRun = 5;

// Hands the shop file to sink piece by piece (one order per piece), so
// that any size can be written without holding it in memory.
void generateShop(const ShopGenOptions& options, const std::function<void(const std::string&)>& sink);

}  // namespace mockgate
