// The register of booked orders: every order whose document the host's
// universal import took, so that an order that comes back on a page (a
// customer order, an order whose status could not be moved, an order moved
// back on the service) is not booked twice. Kept in the host's working
// directory as plain text, one order a line; an entry ends a year after its
// order was last met.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

constexpr char kBookedOrdersName[] = "marketgate-zaimportowane.txt";
constexpr long kBookedOrderDays = 365;

struct BookedOrder {
  std::string booked;  // "YYYY-MM-DD" the host took its document
  std::string met;     // "YYYY-MM-DD" it was last met on a page
};

struct BookedOrders {
  std::string path;  // "" when the register is off or has no place
  std::string today;
  std::unordered_map<std::string, BookedOrder> orders;
  bool changed;
};

// Reads the register when the options keep one; a damaged register is
// reported, set aside and its readable entries kept. false (the user told,
// the import must stop) when it exists but cannot be read.
bool openBookedOrders(BookedOrders& booked);
// One entry of a register line; false when the line is not one.
bool parseRegisterLine(const std::string& line, std::string& order, BookedOrder& entry);
// The entries of the register's lines (a later line of an order wins); the
// number of lines that are no entry (comments and empty lines are none).
size_t parseRegisterLines(const std::vector<std::string>& lines, std::unordered_map<std::string, BookedOrder>& orders);
// The entry as the register's line.
std::string registerLine(const std::string& order, const BookedOrder& entry);

// True when the order (decimal text) was booked before; it counts as met today.
bool bookedBefore(BookedOrders& booked, const std::string& order);
// Enters the orders of a file the host took.
void enterBookedOrders(BookedOrders& booked, const std::vector<std::string>& orders);
// Writes the register when it changed, dropping entries not met for a
// year; false (the user told) when it could not be written.
bool saveBookedOrders(BookedOrders& booked);
// The same without telling: the caller says what a failure means.
bool writeBookedOrders(BookedOrders& booked);
