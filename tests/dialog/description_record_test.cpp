// The settings dialog's description record: its bytes against a golden copy
// made from the dialog's published layout, its reading by the host's
// decoder, the mapping of its input controls onto ImportSettings, and the
// decoder refusing records that do not add up without reading past them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/dialog_record.h"
#include "settings/dialog_description.h"
#include "settings/import_settings.h"

namespace {

// Header, frame and the 22 controls, little-endian, texts in Mazovia.
const char* const kGoldenHex =
    "830400007f041600ffff010000000000000000006400150000000000496d706f"
    "7274204d61726b657467617465000300024100000000020002002f0001000000"
    "0000506f626965727a207a616d6f7769656e6961207a6520737461747573656d"
    "3a000600014008000000020003002c0001000000000000030004410000000002"
    "0005002f00010000000000506f20777973776965746c656e6975207a616d6f77"
    "69656e6961207a6d69656e20737461747573206e613a0006000b410800000002"
    "0006002c00010000000000000300064100000000020008002f00010000000000"
    "4964656e747966696b756a20746f7761727920706f3a00060007410000000002"
    "0009002c000100000000002053796d626f6c750a204e617a7769650a20496e64"
    "656b73696528504c55290a00030008410000000002000b002f00010000000000"
    "57637a7974616a207a616da27769656e696120646f3a00060009410000000002"
    "000c002c00010000000000205a616da2776965a4206f64206f6462696f7263a2"
    "770a2050617261676f6ea277206c75622066616b7475720a2052572028726f7a"
    "6368a264207765776e2e290a2050617261672e6e6965696d69656e6e79636820"
    "6c75622066616b7475720a20575a2028777964616e6965207a65776e290a0003"
    "000a410000000002000e002f00010000000000446f2073796d626f6c75207770"
    "6973756a3a0006000c410000000002000f002c000100000000002045414e0a20"
    "534b550a0003000d4100000000330002002f00010000000000476479206e6965"
    "20726f7a706f7a6e616e6f206b6f6e74726168656e74613a0006000e41000000"
    "00330003002c00010000000000204669726d6120676479204e49500a20577069"
    "737a20646f206669726d0a20577069737a20646f206f73a2620a204e69652064"
    "6f706973756a202874796c6b6f206e612066616b7475727a65290a0003000f41"
    "00000000330005002f00010000000000476479206e696520726f7a706f7a6e61"
    "6e6f20746f776172753a000600104100000000330006002c0001000000000020"
    "4e696520646f706973756a20646f206d61672e2874796c6b6f206e612066616b"
    "7475727a65290a20577069737a20646f206d6167617a796e7520286e72207720"
    "6f70636a61636820696d702e290a000300114100000000330008001400010000"
    "00000053796d626f6c2070727a657379926b693a000500260005001241000400"
    "00470008000e0001000000000000000000000000001000080000001000010000"
    "0300134100000000640064000100010000000000000200144100044e0033000a"
    "002f000100000000007e4e7e696520646f646177616a206b776f747920646f20"
    "73796d626f6c752070727a657379926b6900030015410000000033000c002f00"
    "010000000000446f20757761672077706973756a3a0006001641000000003300"
    "0d002c00010000000000204e72207a616d2e206920656d61696c0a20456d6169"
    "6c0a000000015000000086220011000e00010000000000054631320120496d70"
    "6f7274756a000000025000000000340011000c00010000000000054553430120"
    "416e756c756a00";

std::vector<uint8_t> golden() {
  std::vector<uint8_t> bytes;
  std::string hex = kGoldenHex;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

std::vector<uint8_t> encoded() {
  const uint8_t* bytes = settingsDialogDescription();
  return std::vector<uint8_t>(bytes, bytes + settingsDialogDescriptionSize());
}

bool decode(const std::vector<uint8_t>& bytes, standin::DialogDescription& out, std::string& error) {
  // An exactly sized copy: a read past its end shows under the sanitizers.
  std::vector<uint8_t> exact(bytes);
  return standin::decodeDialogDescription(exact.data(), exact.size(), out, error);
}

void putU16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  putU16(bytes, at, static_cast<uint16_t>(value & 0xFFFF));
  putU16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

TEST(DescriptionRecord, MatchesTheGoldenBytesWithItsCounts) {
  std::vector<uint8_t> bytes = encoded();
  ASSERT_EQ(bytes.size(), 1159u);
  EXPECT_EQ(bytes, golden());
  EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24, 1155);
  EXPECT_EQ(bytes[4] | bytes[5] << 8, 1151);
  EXPECT_EQ(bytes[6] | bytes[7] << 8, 22);
}

TEST(DescriptionRecord, HostDecoderReadsFrameAndControlsInOrder) {
  standin::DialogDescription description;
  std::string error;
  ASSERT_TRUE(decode(encoded(), description, error)) << error;
  EXPECT_EQ(description.frame.type, 0xFFFF);
  EXPECT_EQ(description.frame.id, 1);
  EXPECT_EQ(description.frame.width, 100);
  EXPECT_EQ(description.frame.height, 21);
  EXPECT_EQ(description.frame.text, "Import Marketgate");
  ASSERT_EQ(description.controls.size(), 22u);

  const DialogRow* rows = settingsDialogRows();
  for (size_t i = 0; i < description.controls.size(); ++i) {
    const standin::DialogControlRecord& control = description.controls[i];
    EXPECT_EQ(control.id, rows[i].id) << i;
    EXPECT_EQ(control.type, rows[i].type) << i;
    EXPECT_EQ(control.height, 1) << i;
    EXPECT_EQ(control.text, rows[i].text) << i;
  }
  const standin::DialogControlRecord& symbol = description.controls[15];
  EXPECT_EQ(symbol.id, 0x4112);
  EXPECT_EQ(standin::textInputLimit(symbol), 16);
  EXPECT_EQ(symbol.flags[1], 0x04);
  const standin::DialogControlRecord& box = description.controls[17];
  EXPECT_EQ(box.flags[1], 0x04);
  EXPECT_EQ(box.flags[2], 'N');
  EXPECT_EQ(description.controls[20].flags[3], 0x86) << "F12 on the import button";
  EXPECT_EQ(description.controls[1].flags[0], 0x08);
  EXPECT_EQ(description.controls[3].flags[0], 0x08);
  EXPECT_EQ(description.controls[5].flags[0], 0x00);
}

TEST(DescriptionRecord, InputControlsFillImportSettingsInRecordOrder) {
  standin::DialogDescription description;
  std::string error;
  ASSERT_TRUE(decode(encoded(), description, error)) << error;
  std::vector<standin::DialogValueSlot> layout = standin::dialogValueLayout(description);
  std::vector<size_t> sizes;
  for (const standin::DialogValueSlot& slot : layout) sizes.push_back(slot.size);
  EXPECT_EQ(sizes, (std::vector<size_t>{2, 2, 2, 2, 2, 2, 2, 17, 2, 2}));
  ASSERT_FALSE(layout.empty());
  EXPECT_EQ(layout.back().offset + layout.back().size, sizeof(ImportSettings));

  // Each input control lands on the field its row names.
  const DialogRow* rows = settingsDialogRows();
  for (const standin::DialogValueSlot& slot : layout) {
    EXPECT_EQ(rows[slot.control].field.offset, slot.offset) << "control " << slot.control;
    EXPECT_EQ(rows[slot.control].field.size, slot.size) << "control " << slot.control;
  }
  EXPECT_EQ(rows[layout[7].control].field.offset, offsetof(ImportSettings, SymbolPrzesylki));
  EXPECT_EQ(rows[layout[9].control].field.offset, offsetof(ImportSettings, CoWpisacDoUwag));
}

TEST(DescriptionRecord, DecoderRefusesRecordsThatDoNotAddUp) {
  const std::vector<uint8_t> good = encoded();
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"cut after the header", std::vector<uint8_t>(good.begin(), good.begin() + 8)});
  cases.push_back({"one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1)});
  cases.push_back({"shorter than a header", std::vector<uint8_t>(good.begin(), good.begin() + 5)});
  {
    std::vector<uint8_t> bytes = good;
    putU16(bytes, 4, 1150);
    cases.push_back({"header lengths disagree", bytes});
  }
  {
    std::vector<uint8_t> bytes = good;
    putU16(bytes, 6, 23);
    cases.push_back({"one control more than there is", bytes});
  }
  {
    std::vector<uint8_t> bytes = good;
    putU16(bytes, 6, 21);
    cases.push_back({"one control fewer than there is", bytes});
  }
  {
    std::vector<uint8_t> bytes = good;
    putU32(bytes, 0, 0x7FFFFFF0);
    cases.push_back({"length beyond all reason", bytes});
  }
  {
    // The last record's text loses its terminator: the only NUL left after
    // it would be past the record.
    std::vector<uint8_t> bytes = good;
    bytes.back() = 'x';
    cases.push_back({"text without terminator", bytes});
  }
  {
    std::vector<uint8_t> bytes = good;
    bytes[8] = 0x03;  // the frame's type
    cases.push_back({"no frame first", bytes});
  }
  // The text input record: find it by its id 0x4112 after type 5 and length 38.
  size_t textInput = 0;
  for (size_t i = 8; i + 6 < good.size(); ++i) {
    if (good[i] == 5 && good[i + 1] == 0 && good[i + 2] == 38 && good[i + 3] == 0 && good[i + 6] == 0x12) textInput = i;
  }
  ASSERT_NE(textInput, 0u);
  {
    std::vector<uint8_t> bytes = good;
    putU16(bytes, textInput + 2, 40);
    cases.push_back({"text input block of another length", bytes});
  }
  {
    std::vector<uint8_t> bytes = good;
    putU16(bytes, textInput + 4, 6);
    cases.push_back({"text input block naming another type", bytes});
  }
  {
    std::vector<uint8_t> bytes = good;
    putU16(bytes, textInput + 4 + 28, 0);
    cases.push_back({"text input without room for a character", bytes});
  }
  {
    std::vector<uint8_t> bytes = good;
    putU16(bytes, 8 + 38, 9);  // the first control's type
    cases.push_back({"unknown control type", bytes});
  }

  for (const Case& c : cases) {
    standin::DialogDescription description;
    std::string error;
    EXPECT_FALSE(decode(c.bytes, description, error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
  standin::DialogDescription none;
  std::string error;
  EXPECT_FALSE(standin::decodeDialogDescription(nullptr, 100, none, error));
}

}  // namespace
