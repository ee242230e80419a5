// Fixture of the settings dialog tests: a constructed MarketgateStatus
// holding three service statuses, destroyed at the end with the host's
// dialog objects checked: none left built, no misuse noticed.
#pragma once

#include <string>

#include "settings/marketgate_status.h"
#include "support/host_fixture.h"

// Statuses 10 "Nowe", 20 "W realizacji", 30 "Wysłane" (UTF-8).
extern const char* const kThreeStatuses;

class DialogFixture : public HostFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string iniPath() const { return workDir.file("marketgate.ini"); }
  // The value of a key in marketgate.ini, or "<missing>".
  std::string iniValue(const std::string& section, const std::string& key) const;

  MarketgateStatus object;
};
