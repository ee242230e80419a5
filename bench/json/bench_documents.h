// Texts the JSON benchmarks parse: a getOrders reply page with Polish text
// and product lists, a large numeric array and arrays of small objects.
#pragma once

#include <cstddef>
#include <string>

// A getOrders reply holding `orders` orders, about 1,500 bytes each.
std::string makeOrderPage(int orders, unsigned seed);

// An array of `count` numbers: integers, prices and values with exponents.
std::string makeNumberArray(int count, unsigned seed);

// An array of small order-like objects, close to `bytes` long in total.
std::string makeObjectArray(size_t bytes, unsigned seed);
