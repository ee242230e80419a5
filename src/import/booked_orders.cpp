// The register of booked orders (see booked_orders.h). Lines:
// "ORDER BOOKED MET", the two dates as YYYY-MM-DD.
#include "import/booked_orders.h"

#include <algorithm>
#include <cstdio>

#include "service/kept_text_file.h"
#include "service/user_message.h"
#include "settings/import_settings.h"

namespace {

constexpr char kRegisterNotSaved[] =
    "Nie uda\x92o si\x91 zapisa\x8D pliku %s. Zam\xA2wienia z tego importu mog\x86 zosta\x8D zaimportowane ponownie.";

const char* const kRegisterHead[] = {
    "# Marketgate: zamowienia przekazane do programu (numer zamowienia, data importu, data ostatniego pobrania)",
    "# wpis znika po 365 dniach od ostatniego pobrania zamowienia",
};

// Orders by number, shorter (smaller) numbers first.
bool numberBefore(const std::string& a, const std::string& b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

void dropForgotten(BookedOrders& booked) {
  long today = 0;
  if (!dayNumber(booked.today, today)) return;
  for (auto entry = booked.orders.begin(); entry != booked.orders.end();) {
    long met = 0;
    if (dayNumber(entry->second.met, met) && today - met > kBookedOrderDays) {
      entry = booked.orders.erase(entry);
      booked.changed = true;
    } else {
      ++entry;
    }
  }
}

std::vector<std::string> registerLines(const BookedOrders& booked) {
  std::vector<std::string> numbers;
  numbers.reserve(booked.orders.size());
  for (const auto& entry : booked.orders) numbers.push_back(entry.first);
  std::sort(numbers.begin(), numbers.end(), numberBefore);
  std::vector<std::string> lines(std::begin(kRegisterHead), std::end(kRegisterHead));
  lines.reserve(lines.size() + numbers.size());
  for (const std::string& number : numbers) {
    const BookedOrder& entry = booked.orders.at(number);
    lines.push_back(registerLine(number, entry));
  }
  return lines;
}

}  // namespace

bool openBookedOrders(BookedOrders& booked) {
  booked = BookedOrders{};
  booked.today = todayText();
  if (!keepBookedOrders()) return true;
  booked.path = workingFilePath(kBookedOrdersName);
  if (booked.path.empty()) return true;
  std::vector<std::string> lines;
  std::string cause;
  if (readKeptFile(booked.path, lines, cause) == KeptRead::Unreadable) {
    showUnreadableKeptFile(booked.path, cause);
    booked.path.clear();  // never written over
    return false;
  }
  bool damaged = parseRegisterLines(lines, booked.orders) > 0;
  dropForgotten(booked);
  if (!damaged) return true;
  setDamagedFileAside(booked.path, booked.orders.size());
  booked.changed = true;
  saveBookedOrders(booked);
  return true;
}

bool bookedBefore(BookedOrders& booked, const std::string& order) {
  auto entry = booked.orders.find(order);
  if (entry == booked.orders.end()) return false;
  if (entry->second.met != booked.today) {
    entry->second.met = booked.today;
    booked.changed = true;
  }
  return true;
}

void enterBookedOrders(BookedOrders& booked, const std::vector<std::string>& orders) {
  if (booked.path.empty()) return;
  for (const std::string& order : orders) {
    booked.orders[order] = BookedOrder{booked.today, booked.today};
    booked.changed = true;
  }
}

bool saveBookedOrders(BookedOrders& booked) {
  if (writeBookedOrders(booked)) return true;
  showMessage(kRegisterNotSaved, booked.path.c_str());
  return false;
}

bool writeBookedOrders(BookedOrders& booked) {
  if (booked.path.empty()) return true;
  dropForgotten(booked);
  if (!booked.changed) return true;
  if (!writeKeptLines(booked.path, registerLines(booked))) return false;
  booked.changed = false;
  return true;
}
