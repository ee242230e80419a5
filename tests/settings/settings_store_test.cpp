// The options record and "marketgate.ini": defaults for what the file does
// not hold, values written by hand, round trips, the two status ids, and
// the host code for unrecognised customers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "hostlink/host_services.h"
#include "control/host_control.h"
#include "options/ini_files.h"
#include "settings/import_settings.h"
#include "settings/marketgate_status.h"
#include "support/host_fixture.h"

namespace {

// The record is packed: its numbers are read by value, never bound to a reference.
int field(int16_t value) { return value; }

class SettingsStoreTest : public HostFixture {
 protected:
  void TearDown() override {
    hostRelease(object.statusList.statuses);
    HostFixture::TearDown();
  }
  std::string iniPath() const { return workDir.file("marketgate.ini"); }
  std::string stored(const std::string& section, const std::string& key) const {
    std::string value;
    return standin::iniRead(iniPath(), section, key, value) ? value : "<none>";
  }
  void fillWithGarbage() { std::memset(&object.settings, 0x5A, sizeof object.settings); }
  void giveStatuses(const char* reply) { ASSERT_EQ(decodeOrderStatusList(object.statusList, reply), 0); }

  MarketgateStatus object{};
};

TEST_F(SettingsStoreTest, MissingFileGivesZerosAndTheDefaultShippingSymbol) {
  fillWithGarbage();
  loadSettings(object);
  const ImportSettings& s = object.settings;
  EXPECT_EQ(field(s.StatusWePoz), 0);
  EXPECT_EQ(field(s.StatusWyPoz), 0);
  EXPECT_EQ(field(s.Identyfikacja), 0);
  EXPECT_EQ(field(s.ZamowieniaCzyParagony), 0);
  EXPECT_EQ(field(s.EanCzySku), 0);
  EXPECT_EQ(field(s.Kontrahent), 0);
  EXPECT_EQ(field(s.WpisTowar), 0);
  EXPECT_STREQ(s.SymbolPrzesylki, "przesylka");
  EXPECT_EQ(field(s.NieDoklejajKwotyDoSymbPrzes), 0);
  EXPECT_EQ(field(s.CoWpisacDoUwag), 0);
}

TEST_F(SettingsStoreTest, HandWrittenFileIsReadKeyByKeyWithDefaultsElsewhere) {
  writeWholeFile(iniPath(),
                 "[opcje]\r\nEanCzySku = 1\r\nKontrahent=abc\r\nWpisTowar=70000\r\n"
                 "CoWpisacDoUwag=-1\r\nSymbolPrzesylki=\r\n[Statusy]\r\nStatusWyPoz=3\r\n");
  fillWithGarbage();
  loadSettings(object);
  const ImportSettings& s = object.settings;
  EXPECT_EQ(field(s.EanCzySku), 1);
  EXPECT_EQ(field(s.Kontrahent), 0) << "not a number";
  EXPECT_EQ(field(s.WpisTowar), 0) << "beyond 16 bits";
  EXPECT_EQ(field(s.CoWpisacDoUwag), -1) << "out of range values are kept";
  EXPECT_STREQ(s.SymbolPrzesylki, "") << "present but empty";
  EXPECT_EQ(field(s.StatusWyPoz), 3);
  EXPECT_EQ(field(s.StatusWePoz), 0);
  EXPECT_EQ(field(s.Identyfikacja), 0);
  EXPECT_EQ(field(s.NieDoklejajKwotyDoSymbPrzes), 0);
}

// A shipping symbol edited by hand may be far longer than its 16 characters:
// it is cut to the field and the fields after it keep their own values.
TEST_F(SettingsStoreTest, OverlongShippingSymbolIsCutToItsField) {
  ASSERT_TRUE(standin::iniWrite(iniPath(), "Opcje", "SymbolPrzesylki", std::string(300, 'S')));
  ASSERT_TRUE(standin::iniWrite(iniPath(), "Opcje", "NieDoklejajKwotyDoSymbPrzes", "1"));
  ASSERT_TRUE(standin::iniWrite(iniPath(), "Opcje", "CoWpisacDoUwag", "1"));
  loadSettings(object);
  EXPECT_EQ(std::string(object.settings.SymbolPrzesylki), std::string(16, 'S'));
  EXPECT_EQ(field(object.settings.NieDoklejajKwotyDoSymbPrzes), 1);
  EXPECT_EQ(field(object.settings.CoWpisacDoUwag), 1);
}

TEST_F(SettingsStoreTest, SavedRecordComesBackWithTheIdsOfTheChosenStatuses) {
  giveStatuses("{\"statuses\": [{\"id\": 7, \"name\": \"Nowe\"}, {\"id\": 9, \"name\": \"Wys\"}]}");
  ImportSettings& s = object.settings;
  s = ImportSettings{1, 0, 2, 4, 1, 3, 1, "kurier DPD", 1, 1};
  saveSettings(object);
  EXPECT_EQ(stored("Statusy", "StatusWePoz"), "1");
  EXPECT_EQ(stored("Statusy", "StatusWe"), "9");
  EXPECT_EQ(stored("Statusy", "StatusWyPoz"), "0");
  EXPECT_EQ(stored("Statusy", "StatusWy"), "7");
  EXPECT_EQ(stored("Opcje", "SymbolPrzesylki"), "kurier DPD");
  EXPECT_EQ(stored("Opcje", "Kontrahent"), "3");

  const ImportSettings saved = s;
  fillWithGarbage();
  loadSettings(object);
  EXPECT_EQ(field(s.StatusWePoz), field(saved.StatusWePoz));
  EXPECT_EQ(field(s.StatusWyPoz), field(saved.StatusWyPoz));
  EXPECT_EQ(field(s.Identyfikacja), field(saved.Identyfikacja));
  EXPECT_EQ(field(s.ZamowieniaCzyParagony), field(saved.ZamowieniaCzyParagony));
  EXPECT_EQ(field(s.EanCzySku), field(saved.EanCzySku));
  EXPECT_EQ(field(s.Kontrahent), field(saved.Kontrahent));
  EXPECT_EQ(field(s.WpisTowar), field(saved.WpisTowar));
  EXPECT_STREQ(s.SymbolPrzesylki, saved.SymbolPrzesylki);
  EXPECT_EQ(field(s.NieDoklejajKwotyDoSymbPrzes), field(saved.NieDoklejajKwotyDoSymbPrzes));
  EXPECT_EQ(field(s.CoWpisacDoUwag), field(saved.CoWpisacDoUwag));

  // The writes, in their order, each a write of the options file.
  std::vector<std::string> keys;
  for (const standin::CallRecord& call : standin::calls()) {
    if (call.ordinal == 41399 && call.detail.find("marketgate.ini 2 ") == 0) keys.push_back(call.detail.substr(17));
  }
  std::vector<std::string> expected = {"[Statusy] StatusWePoz %d",
                                       "[Statusy] StatusWe %d",
                                       "[Statusy] StatusWyPoz %d",
                                       "[Statusy] StatusWy %d",
                                       "[Opcje] Identyfikacja %d",
                                       "[Opcje] ZamowieniaCzyParagony %d",
                                       "[Opcje] EanCzySku %d",
                                       "[Opcje] Kontrahent %d",
                                       "[Opcje] WpisTowar %d",
                                       "[Opcje] SymbolPrzesylki %s",
                                       "[Opcje] NieDoklejajKwotyDoSymbPrzes %d",
                                       "[Opcje] CoWpisacDoUwag %d"};
  EXPECT_EQ(keys, expected);
}

// Positions the list does not hold (a list that came back shorter, or none
// at all) write 0 as the status id instead of reading past the list.
TEST_F(SettingsStoreTest, PositionsOutsideTheStatusListSaveIdZero) {
  object.settings.StatusWePoz = 2;
  object.settings.StatusWyPoz = -1;
  saveSettings(object);
  EXPECT_EQ(stored("Statusy", "StatusWe"), "0");
  EXPECT_EQ(stored("Statusy", "StatusWy"), "0");

  giveStatuses("{\"statuses\": [{\"id\": 7}, {\"id\": 9}]}");
  object.settings.StatusWyPoz = 1;
  saveSettings(object);
  EXPECT_EQ(stored("Statusy", "StatusWePoz"), "2");
  EXPECT_EQ(stored("Statusy", "StatusWe"), "0");
  EXPECT_EQ(stored("Statusy", "StatusWy"), "9");
}

// With the service's list at hand the stored ids count, not the positions:
// an id elsewhere in the list gives its place, one the list no longer holds
// gives no place; a file without an id readable as a number keeps its position.
TEST_F(SettingsStoreTest, StoredIdsPlaceTheChosenStatusesInTheFetchedList) {
  giveStatuses("{\"statuses\": [{\"id\": 3}, {\"id\": 70000}, {\"id\": 7}, {\"id\": 9}]}");
  writeWholeFile(iniPath(), "[Statusy]\r\nStatusWePoz=0\r\nStatusWe=70000\r\nStatusWyPoz=1\r\nStatusWy=5\r\n");
  loadSettings(object);
  EXPECT_EQ(field(object.settings.StatusWePoz), 1);
  EXPECT_EQ(field(object.settings.StatusWyPoz), kChosenStatusGone);
  writeWholeFile(iniPath(), "[Statusy]\r\nStatusWePoz=3\r\nStatusWe=\r\nStatusWyPoz=2\r\nStatusWy=9x\r\n");
  loadSettings(object);
  EXPECT_EQ(field(object.settings.StatusWePoz), 3);
  EXPECT_EQ(field(object.settings.StatusWyPoz), 2);
  writeWholeFile(iniPath(), "[Statusy]\r\nStatusWePoz=3\r\nStatusWyPoz=2\r\nStatusWy= 9 \r\n");
  loadSettings(object);
  EXPECT_EQ(field(object.settings.StatusWePoz), 3);
  EXPECT_EQ(field(object.settings.StatusWyPoz), 3);
}

// The dialog edits the symbol in place and may fill all 17 bytes.
TEST_F(SettingsStoreTest, ShippingSymbolWithoutTerminatorIsSavedAsSixteenCharacters) {
  std::memset(object.settings.SymbolPrzesylki, 'Q', sizeof object.settings.SymbolPrzesylki);
  object.settings.NieDoklejajKwotyDoSymbPrzes = 0x4141;
  saveSettings(object);
  EXPECT_EQ(stored("Opcje", "SymbolPrzesylki"), std::string(16, 'Q'));
}

TEST_F(SettingsStoreTest, CustomerModeCodeFollowsTheStoredChoice) {
  const struct {
    const char* stored;
    int code;
  } cases[] = {{"0", 0}, {"1", 1}, {"2", 2}, {"3", 5}, {"4", 0}, {"-1", 0}, {nullptr, 0}};
  for (const auto& c : cases) {
    std::remove(iniPath().c_str());
    if (c.stored != nullptr) {
      ASSERT_TRUE(standin::iniWrite(iniPath(), "Opcje", "Kontrahent", c.stored));
    }
    object.settings.Kontrahent = 3;
    EXPECT_EQ(customerModeCode(object), c.code) << (c.stored ? c.stored : "none");
  }
}

}  // namespace
