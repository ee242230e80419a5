// The hand-off of the import file: the fields the configuration record gets
// (every other byte kept), the import's arguments by document kind, the
// deleted file, quiet and interactive hosts, and a name too long for the
// record.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <vector>

#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/universal_import_handoff.h"
#include "import/import_configs.h"

namespace {

class HandoffTest : public ImportTest {
 protected:
  std::string writeImportFile(const std::string& content = "[Info]\nProgram=Marketgate\nKodowanie=Windows 1250\n\n") {
    std::string path = workDir.file("marketgate.edi");
    writeWholeFile(path, content);
    return path;
  }
  std::vector<uint8_t> storedRecord() {
    std::vector<uint8_t> record(host_abi::kUniversalImportConfigSize, 0);
    EXPECT_TRUE(standin::loadImportConfigRecord("ImportMarketgate", record.data(), record.size()));
    return record;
  }
  static int16_t field(const std::vector<uint8_t>& record, size_t offset) {
    return static_cast<int16_t>(record[offset] | (record[offset + 1] << 8));
  }
};

TEST_F(HandoffTest, RecordGetsTheFieldsAndKeepsEveryOtherByte) {
  std::vector<uint8_t> stored(host_abi::kUniversalImportConfigSize);
  for (size_t i = 0; i < stored.size(); ++i) stored[i] = static_cast<uint8_t>(0x40 + i % 50);
  ASSERT_TRUE(standin::saveImportConfigRecord("ImportMarketgate", stored.data(), stored.size()));
  std::string path = writeImportFile();

  EXPECT_EQ(startUniversalImport(path.c_str(), goodsIdentificationCode(2), 1, 5, 1), 0);
  std::vector<uint8_t> record = storedRecord();
  EXPECT_STREQ(reinterpret_cast<const char*>(&record[0x14]), path.c_str());
  EXPECT_EQ(field(record, 0x124), 5);
  EXPECT_EQ(field(record, 0x126), 3);
  EXPECT_EQ(field(record, 0x128), 1);
  EXPECT_EQ(field(record, 0x12A), 3);
  EXPECT_EQ(field(record, 0x130), 2);
  EXPECT_EQ(field(record, 0x132), field(stored, 0x132)) << "WpisTowar 1 keeps the store";
  EXPECT_EQ(field(record, 0x145), 4);
  EXPECT_EQ(field(record, 0x147), field(stored, 0x147) | 1);
  std::vector<size_t> set = {0x124, 0x126, 0x128, 0x12A, 0x130, 0x145, 0x147};
  for (size_t i = 0; i < record.size(); ++i) {
    bool inName = i >= 0x14 && i <= 0x14 + path.size();
    bool inField = false;
    for (size_t offset : set) inField |= i == offset || i == offset + 1;
    if (!inName && !inField) {
      ASSERT_EQ(record[i], stored[i]) << "byte " << i;
    }
  }
  EXPECT_FALSE(std::ifstream(path).good()) << "the file is deleted";
}

TEST_F(HandoffTest, GoodsEntryZeroClearsBothFieldsOtherValuesKeepThem) {
  std::vector<uint8_t> stored(host_abi::kUniversalImportConfigSize, 0x11);
  ASSERT_TRUE(standin::saveImportConfigRecord("ImportMarketgate", stored.data(), stored.size()));
  startUniversalImport(writeImportFile().c_str(), 1, 0, 0, 0);
  EXPECT_EQ(field(storedRecord(), 0x130), 0);
  EXPECT_EQ(field(storedRecord(), 0x132), 0);
  ASSERT_TRUE(standin::saveImportConfigRecord("ImportMarketgate", stored.data(), stored.size()));
  startUniversalImport(writeImportFile().c_str(), 1, 0, 0, 7);
  EXPECT_EQ(field(storedRecord(), 0x130), 0x1111);
  EXPECT_EQ(field(storedRecord(), 0x132), 0x1111);
}

TEST_F(HandoffTest, IdentificationCodes) {
  EXPECT_EQ(goodsIdentificationCode(0), 1);
  EXPECT_EQ(goodsIdentificationCode(1), 2);
  EXPECT_EQ(goodsIdentificationCode(2), 3);
  EXPECT_EQ(goodsIdentificationCode(7), 1);
}

TEST_F(HandoffTest, MaskByDocumentKindAndNoAfterImportCallWhenQuiet) {
  const std::pair<int, const char*> cases[] = {{0, "1 ImportMarketgate 131072"}, {1, "1 ImportMarketgate 3"},
                                               {2, "1 ImportMarketgate 64"},     {3, "1 ImportMarketgate 3"},
                                               {4, "1 ImportMarketgate 32768"},  {7, "1 ImportMarketgate 3"}};
  for (const auto& [kind, detail] : cases) {
    standin::clearCalls();
    EXPECT_EQ(startUniversalImport(writeImportFile().c_str(), 1, kind, 0, 0), 0);
    std::string call;
    for (const standin::CallRecord& record : standin::calls()) {
      if (record.ordinal == 52401) call = record.detail;
    }
    EXPECT_EQ(call, detail) << "kind " << kind;
    EXPECT_EQ(standin::callCount(34699), 0);
  }
  EXPECT_EQ(standin::importedCopies().size(), 6u);
}

TEST_F(HandoffTest, InteractiveHostPausesAndGetsTheAfterImportCode) {
  standin::setQuietMode(false);
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(startUniversalImport(writeImportFile().c_str(), 1, 4, 0, 0), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1900));
  std::vector<std::string> order;
  for (const standin::CallRecord& record : standin::calls()) {
    if (record.ordinal == 52028 || record.ordinal == 52527 || record.ordinal == 52401 || record.ordinal == 34699) {
      order.push_back(std::to_string(record.ordinal) + " " + record.detail);
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"52028 Uwaga|Zapisywanie konf. sklepu|512", "52527 ImportMarketgate",
                                             "52028 Uwaga|Import uniwersalny|512", "52401 0 ImportMarketgate 32768",
                                             "34699 805"}));
  EXPECT_FALSE(standin::waitNoticeShown());
}

TEST_F(HandoffTest, NameTooLongForTheRecordIsRefused) {
  std::vector<uint8_t> stored(host_abi::kUniversalImportConfigSize, 0x22);
  ASSERT_TRUE(standin::saveImportConfigRecord("ImportMarketgate", stored.data(), stored.size()));
  std::string path = writeImportFile();
  std::string longName(272, 'x');
  EXPECT_EQ(startUniversalImport(longName.c_str(), 1, 0, 0, 0), -1);
  ASSERT_EQ(standin::messages().size(), 1u);
  EXPECT_NE(standin::messages()[0].text.find("marketgate.edi"), std::string::npos);
  EXPECT_EQ(storedRecord(), stored) << "the record is neither changed nor saved";
  EXPECT_EQ(standin::callCount(52401), 0);
  std::string longest(271, 'y');
  EXPECT_EQ(startUniversalImport(longest.c_str(), 1, 0, 0, 0), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&storedRecord()[0x14])), longest);
  EXPECT_EQ(storedRecord()[0x124], 0);
}

}  // namespace
