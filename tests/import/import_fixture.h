// Fixture of the order import tests: a quiet host with a fixed date and a
// EUR rate, options in "marketgate.ini", a mockgate shop when the test needs
// the service, and builders of orders, replies and shops.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/host_fixture.h"
#include "support/mockgate_process.h"

// A member of an order or product given as JSON text; an empty text removes
// the member.
struct Member {
  std::string name;
  std::string json;
};

// A typical order (id given) with the members changed as listed.
std::string orderJson(double orderId, const std::vector<Member>& changes = {});
std::string productJson(const std::vector<Member>& changes = {});
// {"status":"SUCCESS","orders":[...]}
std::string ordersReply(const std::vector<std::string>& orders);
// A shop with the token "tok", statuses 101 "Nowe", 102 "W realizacji",
// 103 "Wysłane", the orders and the invoices (JSON array text).
std::string shopJson(const std::vector<std::string>& orders, const std::string& invoices = "[]");
// A JSON string literal of a UTF-8 text.
std::string quoted(const std::string& text);
// The lines of an import file that begin with the key and "=".
std::vector<std::string> linesOf(const std::string& file, const std::string& key);

class ImportTest : public HostFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts mockgate with the shop and points the host's HTTP at it.
  void startShop(const std::string& shop, const std::vector<std::string>& faults = {});
  void setOption(const char* key, const std::string& value);  // section "Opcje"
  // Empties the stand-in's document store and the plug-in's register of
  // what it booked there.
  void forgetStoredDocuments();
  void setStatusPositions(int incoming, int outgoing);

  // Translates one reply into a fresh file and gives the file's bytes.
  std::string translatePage(const std::string& reply, int kind, int symbolSource = 0, int32_t* nextPageDate = nullptr,
                            int* result = nullptr);

  // Requests mockgate logged since startShop: "method {parameters}".
  std::vector<std::string> requests() const;
  int requestCount(const std::string& method) const;

  // Orders the service holds in the status (mockgate is stopped for it).
  int ordersInStatus(int status);

  // The newest copy the stand-in kept of an imported file ("" when none).
  std::string lastImportedFile() const;

  std::unique_ptr<MockgateProcess> mock;
};

// A golden file of tests/import/golden.
std::string goldenFile(const std::string& name);
