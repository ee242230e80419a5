// The note's lines (see taken_over_note.h): "ORDER INCOMING_STATUS", then
// the hand-off line. Nothing here touches a file or calls the host.
#include <cstdio>

#include "import/taken_over_note.h"

namespace {

bool isOrderNumber(const char* text) {
  if (text[0] == '\0') return false;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
  }
  return true;
}

}  // namespace

size_t parseNoteLines(const std::vector<std::string>& lines, bool lastLineEnded, LeftNote& left) {
  size_t damaged = 0;
  size_t count = lines.size();
  if (count > 0 && !lastLineEnded) --count;  // a write cut short: its order never moved
  for (size_t i = 0; i < count; ++i) {
    const std::string& line = lines[i];
    if (line.empty()) continue;
    if (line == kHandOffLine) {
      left.handOffBegun = true;
      continue;
    }
    char order[32];
    long statusId = -1;
    int end = 0;
    if (std::sscanf(line.c_str(), "%31s %ld%n", order, &statusId, &end) != 2 ||
        static_cast<size_t>(end) != line.size() || !isOrderNumber(order) || statusId < 0 || statusId > INT32_MAX) {
      ++damaged;
      continue;
    }
    left.orders.push_back(NotedOrder{order, static_cast<int32_t>(statusId)});
  }
  return damaged;
}
