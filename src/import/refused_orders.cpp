// Naming refused orders by the id text the service sent: the reply (strict
// JSON that has been parsed already) is walked to the order's element and
// its "order_id" taken as written; the names are listed cut to a length a
// message can hold.
#include "import/refused_orders.h"

#include <cstdio>
#include <cstring>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"
#include "import/order_translation.h"
#include "json/json.h"

namespace {

constexpr char kNoId[] = "(brak numeru)";
constexpr size_t kEntryBytes = 24;
constexpr size_t kListBytes = 300;
constexpr char kEllipsis[] = "...";

const char* skipBlanks(const char* p) {
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') ++p;
  return p;
}

// Where the value that starts at p ends.
const char* valueEnd(const char* p) {
  if (*p == '"') {
    for (++p; *p != '\0' && *p != '"'; ++p) {
      if (*p == '\\' && p[1] != '\0') ++p;
    }
    return *p != '\0' ? p + 1 : p;
  }
  if (*p == '{' || *p == '[') {
    int depth = 0;
    while (*p != '\0') {
      if (*p == '"') {
        p = valueEnd(p);
        continue;
      }
      if (*p == '{' || *p == '[') ++depth;
      if ((*p == '}' || *p == ']') && --depth == 0) return p + 1;
      ++p;
    }
    return p;
  }
  while (*p != '\0' && std::strchr(",}] \t\r\n", *p) == nullptr) ++p;
  return p;
}

// The member's value text in the object that starts at p; false when the
// object has no member of that (unescaped) name.
bool memberText(const char* p, const char* name, const char*& start, const char*& end) {
  if (*p != '{') return false;
  size_t length = std::strlen(name);
  p = skipBlanks(p + 1);
  while (*p == '"') {
    const char* nameEnd = valueEnd(p);
    bool wanted = static_cast<size_t>(nameEnd - p) == length + 2 && std::memcmp(p + 1, name, length) == 0;
    p = skipBlanks(nameEnd);
    if (*p != ':') return false;
    p = skipBlanks(p + 1);
    const char* valueStop = valueEnd(p);
    if (wanted) {
      start = p;
      end = valueStop;
      return true;
    }
    p = skipBlanks(valueStop);
    if (*p != ',') return false;
    p = skipBlanks(p + 1);
  }
  return false;
}

// The index-th element's text of the array that starts at p.
bool elementText(const char* p, uint32_t index, const char*& start, const char*& end) {
  if (*p != '[') return false;
  p = skipBlanks(p + 1);
  for (uint32_t i = 0; *p != '\0' && *p != ']'; ++i) {
    const char* stop = valueEnd(p);
    if (i == index) {
      start = p;
      end = stop;
      return true;
    }
    p = skipBlanks(stop);
    if (*p != ',') return false;
    p = skipBlanks(p + 1);
  }
  return false;
}

// The id as the parsed tree holds it, for a reply not at hand.
std::string parsedIdText(const JsonObject* order) {
  const JsonValue* id = jsonObjectFind(order, "order_id", 8);
  if (id == nullptr) return kNoId;
  if (id->type == JSON_STRING) return "\"" + std::string(id->string) + "\"";
  if (id->type != JSON_NUMBER) return "?";
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", id->number);
  return text;
}

// Up to bytes bytes of a UTF-8 text, not cutting a character; an ellipsis
// marks a cut.
std::string cutText(const std::string& text, size_t bytes) {
  if (text.size() <= bytes) return text;
  size_t at = bytes;
  while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return text.substr(0, at) + kEllipsis;
}

}  // namespace

void noteRefusedOrder(SeenOrders& seen, const char* reply, uint32_t index, const JsonObject* order) {
  const char* orderStart = nullptr;
  const char* orderEnd = nullptr;
  const char* ordersStart = nullptr;
  const char* ordersEnd = nullptr;
  bool found = reply != nullptr && memberText(skipBlanks(reply), "orders", ordersStart, ordersEnd) &&
               elementText(ordersStart, index, orderStart, orderEnd);
  std::string key = found ? std::string(orderStart, orderEnd) : std::to_string(index) + parsedIdText(order);
  if (!seen.refusedOrders.insert(key).second) return;
  const char* idStart = nullptr;
  const char* idEnd = nullptr;
  if (!found) {
    seen.refused.push_back(parsedIdText(order));
  } else if (memberText(orderStart, "order_id", idStart, idEnd)) {
    seen.refused.emplace_back(idStart, idEnd);
  } else {
    seen.refused.push_back(kNoId);
  }
}

std::string shownOrderNames(const std::vector<std::string>& orders) {
  std::string list;
  for (const std::string& order : orders) {
    std::string entry = cutText(order, kEntryBytes);
    for (char& c : entry) {
      unsigned char byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    if (!list.empty() && list.size() + entry.size() > kListBytes) {
      list += ", ";
      list += kEllipsis;
      break;
    }
    list += (list.empty() ? "" : ", ") + entry;
  }
  // The texts come from the service (UTF-8); messages are Mazovia.
  std::string shown(list.size() + 1, '\0');
  hostConvertText(&shown[0], static_cast<int32_t>(shown.size()), list.c_str(), -1, host_abi::kCodeUtf8,
                  host_abi::kCodeMazovia);
  shown.resize(std::strlen(shown.c_str()));
  return shown;
}
