// The register's lines (see booked_orders.h): "ORDER BOOKED MET". Nothing
// here touches a file or calls the host.
#include <cstdio>

#include "import/booked_orders.h"
#include "service/kept_file_reading.h"

bool parseRegisterLine(const std::string& line, std::string& order, BookedOrder& entry) {
  char number[32], booked[16], met[16];
  int end = 0;
  if (std::sscanf(line.c_str(), "%31s %15s %15s%n", number, booked, met, &end) != 3) return false;
  if (static_cast<size_t>(end) != line.size()) return false;
  std::string text = number;
  if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  long day = 0;
  if (!dayNumber(booked, day) || !dayNumber(met, day)) return false;
  order = text;
  entry = BookedOrder{booked, met};
  return true;
}

size_t parseRegisterLines(const std::vector<std::string>& lines, std::unordered_map<std::string, BookedOrder>& orders) {
  size_t damaged = 0;
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == '#') continue;
    std::string order;
    BookedOrder entry;
    if (parseRegisterLine(line, order, entry)) {
      orders[order] = entry;
    } else {
      ++damaged;
    }
  }
  return damaged;
}

std::string registerLine(const std::string& order, const BookedOrder& entry) {
  return order + " " + entry.booked + " " + entry.met;
}
