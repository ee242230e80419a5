// Fixture and builders of the order import tests (see import_fixture.h).
#include "import/import_fixture.h"

#include <cstdio>
#include <regex>

#include "control/host_control.h"
#include "options/ini_files.h"
#include "import/order_translation.h"

namespace {

const std::vector<Member> kBaseOrder = {
    {"order_status_id", "101"},
    {"date_confirmed", "1796601600"},
    {"date_add", "1796598000"},
    {"user_login", "\"klient_01\""},
    {"phone", "\"600100200\""},
    {"email", "\"klient@example.pl\""},
    {"currency", "\"PLN\""},
    {"payment_method_cod", "0"},
    {"payment_done", "0"},
    {"delivery_method", "\"Kurier\""},
    {"delivery_price", "15.99"},
    {"delivery_fullname", "\"Jan Nowak\""},
    {"delivery_company", "\"\""},
    {"delivery_address", "\"ul. Polna 1\""},
    {"delivery_postcode", "\"00-001\""},
    {"delivery_city", "\"Warszawa\""},
    {"delivery_country_code", "\"PL\""},
    {"invoice_fullname", "\"Jan Nowak\""},
    {"invoice_company", "\"\""},
    {"invoice_nip", "\"\""},
    {"invoice_address", "\"ul. Polna 1\""},
    {"invoice_postcode", "\"00-001\""},
    {"invoice_city", "\"Warszawa\""},
    {"invoice_country_code", "\"PL\""},
    {"want_invoice", "\"0\""},
};

const std::vector<Member> kBaseProduct = {
    {"name", "\"Kubek\""},  {"sku", "\"KUB-1\""}, {"ean", "\"5901234123457\""},
    {"price_brutto", "10"}, {"tax_rate", "23"},   {"quantity", "2"},
};

std::string objectJson(std::vector<Member> members, const std::vector<Member>& changes) {
  for (const Member& change : changes) {
    bool replaced = false;
    for (Member& member : members) {
      if (member.name == change.name) {
        member.json = change.json;
        replaced = true;
      }
    }
    if (!replaced) members.push_back(change);
  }
  std::string json = "{";
  for (const Member& member : members) {
    if (member.json.empty()) continue;
    if (json.size() > 1) json += ", ";
    json += "\"" + member.name + "\": " + member.json;
  }
  return json + "}";
}

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

// The value of "name": in a log line, up to the matching end of a string,
// object or number.
std::string logValue(const std::string& line, const std::string& name) {
  std::string marker = "\"" + name + "\": ";
  size_t at = line.find(marker);
  if (at == std::string::npos) return "";
  at += marker.size();
  if (line.compare(at, 4, "null") == 0) return "";
  if (line[at] == '"') {
    size_t end = line.find('"', at + 1);
    return line.substr(at + 1, end - at - 1);
  }
  if (line[at] == '{') return line.substr(at, line.find('}', at) - at + 1);
  return "";
}

}  // namespace

std::string quoted(const std::string& text) {
  std::string json = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') json += '\\';
    if (c == '\n') {
      json += "\\n";
      continue;
    }
    if (c == '\r') {
      json += "\\r";
      continue;
    }
    json += c;
  }
  return json + "\"";
}

std::vector<std::string> linesOf(const std::string& file, const std::string& key) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < file.size()) {
    size_t end = file.find('\n', at);
    if (end == std::string::npos) end = file.size();
    if (file.compare(at, key.size() + 1, key + "=") == 0) lines.push_back(file.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::string orderJson(double orderId, const std::vector<Member>& changes) {
  char id[32];
  std::snprintf(id, sizeof id, "%.0f", orderId);
  std::vector<Member> members = {{"order_id", id}};
  members.insert(members.end(), kBaseOrder.begin(), kBaseOrder.end());
  bool hasProducts = false;
  for (const Member& change : changes) hasProducts |= change.name == "products";
  if (!hasProducts) members.push_back({"products", "[" + productJson() + "]"});
  return objectJson(members, changes);
}

std::string productJson(const std::vector<Member>& changes) { return objectJson(kBaseProduct, changes); }

std::string ordersReply(const std::vector<std::string>& orders) {
  return "{\"status\": \"SUCCESS\", \"orders\": [" + joined(orders) + "]}";
}

std::string shopJson(const std::vector<std::string>& orders, const std::string& invoices) {
  return "{\"token\": \"tok\", \"statuses\": ["
         "{\"id\": 101, \"name\": \"Nowe\", \"name_for_customer\": \"\"},"
         "{\"id\": 102, \"name\": \"W realizacji\", \"name_for_customer\": \"\"},"
         "{\"id\": 103, \"name\": \"Wys\xC5\x82\x61ne\", \"name_for_customer\": \"\"}],"
         " \"orders\": [" +
         joined(orders) + "], \"invoices\": " + invoices + "}";
}

void ImportTest::SetUp() {
  HostFixture::SetUp();
  standin::setQuietMode(true);
  standin::setCurrentDate("26.12.08");
  standin::setExchangeRate("EUR", 4.2);
  ASSERT_TRUE(standin::iniWrite(workDir.file("marketgate.ini"), "API", "Key", "tok"));
}

void ImportTest::TearDown() {
  standin::setServiceBaseUrl("");
  if (mock) mock->stop();
  mock.reset();
  HostFixture::TearDown();
}

void ImportTest::startShop(const std::string& shop, const std::vector<std::string>& faults) {
  mock = std::make_unique<MockgateProcess>();
  ASSERT_TRUE(mock->start(shop, faults)) << "mockgate did not start: " << mockgateBinaryPath();
  standin::setServiceBaseUrl(mock->baseUrl());
}

void ImportTest::forgetStoredDocuments() {
  std::remove(workDir.file("marketgate-zaimportowane.txt").c_str());
  std::remove(workDir.file(standin::kDocumentStoreFile).c_str());
}

void ImportTest::setOption(const char* key, const std::string& value) {
  ASSERT_TRUE(standin::iniWrite(workDir.file("marketgate.ini"), "Opcje", key, value));
}

void ImportTest::setStatusPositions(int incoming, int outgoing) {
  ASSERT_TRUE(standin::iniWrite(workDir.file("marketgate.ini"), "Statusy", "StatusWePoz", std::to_string(incoming)));
  ASSERT_TRUE(standin::iniWrite(workDir.file("marketgate.ini"), "Statusy", "StatusWyPoz", std::to_string(outgoing)));
}

std::string ImportTest::translatePage(const std::string& reply, int kind, int symbolSource, int32_t* nextPageDate,
                                      int* result) {
  std::string path = workDir.file("page.edi");
  std::FILE* file = std::fopen(path.c_str(), "w");
  int32_t next = 0;
  int translated = translateOrders(reply.c_str(), file, kind, symbolSource, nextPageDate ? nextPageDate : &next);
  std::fclose(file);
  if (result != nullptr) *result = translated;
  return readTextFile(path);
}

std::vector<std::string> ImportTest::requests() const {
  std::vector<std::string> lines;
  if (!mock) return lines;
  for (const std::string& line : mock->logLines()) {
    std::string parameters = logValue(line, "parameters");
    lines.push_back(logValue(line, "method") + (parameters.empty() ? "" : " " + parameters));
  }
  return lines;
}

int ImportTest::requestCount(const std::string& method) const {
  int count = 0;
  for (const std::string& request : requests()) count += request == method || request.rfind(method + " ", 0) == 0;
  return count;
}

int ImportTest::ordersInStatus(int status) {
  mock->stop();
  std::string state = mock->stateText();
  std::regex pattern("\"order_status_id\": ?" + std::to_string(status) + "\\b");
  return static_cast<int>(
      std::distance(std::sregex_iterator(state.begin(), state.end(), pattern), std::sregex_iterator()));
}

std::string ImportTest::lastImportedFile() const {
  std::vector<std::string> copies = standin::importedCopies();
  return copies.empty() ? std::string() : readTextFile(copies.back());
}

std::string goldenFile(const std::string& name) {
  return readWholeFile(std::string(MG_SOURCE_DIR) + "/tests/import/golden/" + name);
}
