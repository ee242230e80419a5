// Fixture of the settings dialog tests (see dialog_fixture.h).
#include "dialog/dialog_fixture.h"

#include "control/host_control.h"
#include "options/ini_files.h"

const char* const kThreeStatuses =
    "{\"statuses\": [{\"id\": 10, \"name\": \"Nowe\", \"name_for_customer\": \"\"},"
    " {\"id\": 20, \"name\": \"W realizacji\", \"name_for_customer\": \"\"},"
    " {\"id\": 30, \"name\": \"Wys\xC5\x82\x61ne\", \"name_for_customer\": \"\"}]}";

void DialogFixture::SetUp() {
  HostFixture::SetUp();
  constructMarketgateStatus(object);
  ASSERT_EQ(decodeOrderStatusList(object.statusList, kThreeStatuses), 0);
}

void DialogFixture::TearDown() {
  destroyMarketgateStatus(object);
  EXPECT_EQ(standin::liveDialogObjects(), 0);
  EXPECT_EQ(standin::liveAuxDialogObjects(), 0);
  for (const std::string& fault : standin::dialogFaults()) ADD_FAILURE() << fault;
  HostFixture::TearDown();
}

std::string DialogFixture::iniValue(const std::string& section, const std::string& key) const {
  std::string value;
  return standin::iniRead(iniPath(), section, key, value) ? value : "<missing>";
}
