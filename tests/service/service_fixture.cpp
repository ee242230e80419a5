// Fixture of the service client tests (see service_fixture.h).
#include "service/service_fixture.h"

#include "control/host_control.h"
#include "options/ini_files.h"

const char* const kTestShop =
    "{\"token\": \"abc\","
    " \"statuses\": [{\"id\": 5, \"name\": \"Nowe\", \"name_for_customer\": \"Przyj\xC4\x99te\"},"
    "  {\"id\": 9, \"name\": \"Wys\xC5\x82\x61ne\", \"name_for_customer\": \"\"}],"
    " \"orders\": [{\"order_id\": 123, \"order_status_id\": 5, \"date_confirmed\": 1000, \"email\": \"a@example.pl\"}],"
    " \"invoices\": [{\"invoice_id\": 1, \"order_id\": 77, \"number\": \"\"},"
    "  {\"invoice_id\": 2, \"order_id\": 77, \"number\": \"FV/77/2024\"},"
    "  {\"invoice_id\": 3, \"order_id\": 78, \"number\": \"FV/2024/12/000000078/MAGAZYN-GLOWNY/KOREKTA\"}]}";

std::unique_ptr<MockgateProcess> ServiceTest::mock;

std::string logField(const std::string& line, const std::string& name) {
  std::string marker = "\"" + name + "\": \"";
  size_t at = line.find(marker);
  if (at == std::string::npos) return "<no " + name + ">";
  std::string text;
  for (size_t i = at + marker.size(); i < line.size() && line[i] != '"'; ++i) {
    if (line[i] != '\\' || i + 1 >= line.size()) {
      text += line[i];
      continue;
    }
    char escaped = line[++i];
    switch (escaped) {
      case 'n':
        text += '\n';
        break;
      case 'r':
        text += '\r';
        break;
      case 't':
        text += '\t';
        break;
      case 'u':
        text += static_cast<char>(std::stoi(line.substr(i + 1, 4), nullptr, 16));
        i += 4;
        break;
      default:
        text += escaped;
    }
  }
  return text;
}

void ServiceTest::SetUpTestSuite() {
  mock = std::make_unique<MockgateProcess>();
  if (!mock->start(kTestShop)) mock.reset();
}

void ServiceTest::TearDownTestSuite() { mock.reset(); }

void ServiceTest::SetUp() {
  HostFixture::SetUp();
  ASSERT_TRUE(mock != nullptr) << "mockgate did not start: " << mockgateBinaryPath();
  standin::setServiceBaseUrl(mock->baseUrl());
  logLinesAtStart = mock->logLines().size();
  storeKey("abc");
}

void ServiceTest::TearDown() {
  standin::setServiceBaseUrl("");
  HostFixture::TearDown();
}

void ServiceTest::storeKey(const std::string& key) {
  ASSERT_TRUE(standin::iniWrite(workDir.file("marketgate.ini"), "API", "Key", key));
}

ApiSession ServiceTest::openSession() {
  ApiSession session;
  openApiSession(session);
  return session;
}

std::vector<std::string> ServiceTest::sentBodies() const {
  std::vector<std::string> bodies;
  std::vector<std::string> lines = mock->logLines();
  for (size_t i = logLinesAtStart; i < lines.size(); ++i) bodies.push_back(logField(lines[i], "body"));
  return bodies;
}
