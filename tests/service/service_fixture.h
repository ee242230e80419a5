// Fixture of the service client tests: a host whose working directory holds
// a "marketgate.ini" with the shop's key, and one mockgate process shared by
// the tests of a suite, whose request log shows the bodies as sent.
#pragma once

#include <memory>
#include <string>

#include "service/api_session.h"
#include "support/host_fixture.h"
#include "support/mockgate_process.h"

// The shop every service test talks to (token "abc").
extern const char* const kTestShop;

// Text of the JSON string that follows "<name>": in a mockgate log line.
std::string logField(const std::string& line, const std::string& name);

class ServiceTest : public HostFixture {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Writes "API"/"Key" of marketgate.ini.
  void storeKey(const std::string& key);
  // An opened session with the stored key.
  ApiSession openSession();
  // Bodies that mockgate received since the test began, in order.
  std::vector<std::string> sentBodies() const;

  static std::unique_ptr<MockgateProcess> mock;
  size_t logLinesAtStart = 0;
};
