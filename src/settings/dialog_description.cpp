// The settings dialog's description record (see dialog_description.h): the
// control rows, the one encoder that turns them into bytes, and the checks
// that the record's counts and its mapping onto ImportSettings hold.
#include "settings/dialog_description.h"

#include <array>

#include "settings/import_settings.h"

namespace {

#define SETTINGS_FIELD(name) \
  SettingsField { offsetof(ImportSettings, name), sizeof(ImportSettings::name) }
constexpr SettingsField kNoField = {0, 0};

// Flag bytes: items supplied by the dialog object (byte 0), an editable
// control (byte 1), the hot-key letter (byte 2), a button's key code (byte 3).
constexpr uint8_t kItemsFromObject = 0x08;
constexpr uint8_t kEditable = 0x04;
constexpr uint8_t kKeyF12 = 0x86;

constexpr uint16_t kFrameId = 1;
constexpr uint16_t kFrameWidth = 100;
constexpr uint16_t kFrameHeight = 21;
constexpr const char* kFrameTitle = "Import Marketgate";

// Texts in the Mazovia code page (\xA2 ó, \x92 ł). A hexadecimal escape
// ends a literal whenever the next character could continue it.
constexpr DialogRow kRows[kSettingsDialogControls] = {
    {kControlLabel, 0x4102, {0, 0, 0, 0}, 2, 2, 47, "Pobierz zamowienia ze statusem:", kNoField},
    {kControlPickList, 0x4001, {kItemsFromObject, 0, 0, 0}, 2, 3, 44, "", SETTINGS_FIELD(StatusWePoz)},
    {kControlLabel, 0x4104, {0, 0, 0, 0}, 2, 5, 47, "Po wyswietleniu zamowienia zmien status na:", kNoField},
    {kControlPickList, 0x410B, {kItemsFromObject, 0, 0, 0}, 2, 6, 44, "", SETTINGS_FIELD(StatusWyPoz)},
    {kControlLabel, 0x4106, {0, 0, 0, 0}, 2, 8, 47, "Identyfikuj towary po:", kNoField},
    {kControlPickList,
     0x4107,
     {0, 0, 0, 0},
     2,
     9,
     44,
     " Symbolu\n Nazwie\n Indeksie(PLU)\n",
     SETTINGS_FIELD(Identyfikacja)},
    {kControlLabel, 0x4108, {0, 0, 0, 0}, 2, 11, 47, "Wczytaj zam\xA2wienia do:", kNoField},
    {kControlPickList,
     0x4109,
     {0, 0, 0, 0},
     2,
     12,
     44,
     " Zam\xA2wie\xA4 od odbiorc\xA2w\n"
     " Paragon\xA2w lub faktur\n"
     " RW (rozch\xA2"
     "d wewn.)\n"
     " Parag.nieimiennych lub faktur\n"
     " WZ (wydanie zewn)\n",
     SETTINGS_FIELD(ZamowieniaCzyParagony)},
    {kControlLabel, 0x410A, {0, 0, 0, 0}, 2, 14, 47, "Do symbolu wpisuj:", kNoField},
    {kControlPickList, 0x410C, {0, 0, 0, 0}, 2, 15, 44, " EAN\n SKU\n", SETTINGS_FIELD(EanCzySku)},
    {kControlLabel, 0x410D, {0, 0, 0, 0}, 51, 2, 47, "Gdy nie rozpoznano kontrahenta:", kNoField},
    {kControlPickList,
     0x410E,
     {0, 0, 0, 0},
     51,
     3,
     44,
     " Firma gdy NIP\n"
     " Wpisz do firm\n"
     " Wpisz do os\xA2"
     "b\n"
     " Nie dopisuj (tylko na fakturze)\n",
     SETTINGS_FIELD(Kontrahent)},
    {kControlLabel, 0x410F, {0, 0, 0, 0}, 51, 5, 47, "Gdy nie rozpoznano towaru:", kNoField},
    {kControlPickList,
     0x4110,
     {0, 0, 0, 0},
     51,
     6,
     44,
     " Nie dopisuj do mag.(tylko na fakturze)\n"
     " Wpisz do magazynu (nr w opcjach imp.)\n",
     SETTINGS_FIELD(WpisTowar)},
    {kControlLabel, 0x4111, {0, 0, 0, 0}, 51, 8, 20, "Symbol przesy\x92ki:", kNoField},
    {kControlTextInput, 0x4112, {0, kEditable, 0, 0}, 71, 8, 14, "", SETTINGS_FIELD(SymbolPrzesylki)},
    {kControlLabel, 0x4113, {0, 0, 0, 0}, 100, 100, 1, "", kNoField},
    {kControlCheckBox,
     0x4114,
     {0, kEditable, 'N', 0},
     51,
     10,
     47,
     "~N~ie dodawaj kwoty do symbolu przesy\x92ki",
     SETTINGS_FIELD(NieDoklejajKwotyDoSymbPrzes)},
    {kControlLabel, 0x4115, {0, 0, 0, 0}, 51, 12, 47, "Do uwag wpisuj:", kNoField},
    {kControlPickList, 0x4116, {0, 0, 0, 0}, 51, 13, 44, " Nr zam. i email\n Email\n", SETTINGS_FIELD(CoWpisacDoUwag)},
    {kControlPushButton,
     0x5001,
     {0, 0, 0, kKeyF12},
     34,
     17,
     14,
     "\x05"
     "F12\x01 Importuj",
     kNoField},
    {kControlPushButton,
     0x5002,
     {0, 0, 0, 0},
     52,
     17,
     12,
     "\x05"
     "ESC\x01 Anuluj",
     kNoField},
};

// Fixed part of every record: type, id, four flag bytes, column, row, width,
// height and a reserved word.
constexpr size_t kCommonFields = 20;
// A text input record: type and block length, then the block of the common
// fields and 18 more bytes (two zero words and five 16-bit values).
constexpr size_t kTextInputBlock = kCommonFields + 18;
constexpr uint16_t kTextInputValues[5] = {kSymbolLimit, 8, 0, kSymbolLimit, 1};
constexpr size_t kHeaderBytes = 8;

constexpr size_t textLength(const char* text) {
  size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

constexpr size_t rowBytes(const DialogRow& row) {
  size_t fixed = row.type == kControlTextInput ? 4 + kTextInputBlock : kCommonFields;
  return fixed + textLength(row.text) + 1;
}

constexpr size_t frameBytes() { return kCommonFields + textLength(kFrameTitle) + 1; }

constexpr size_t descriptionBytes() {
  size_t total = kHeaderBytes + frameBytes();
  for (const DialogRow& row : kRows) total += rowBytes(row);
  return total;
}

using Description = std::array<uint8_t, descriptionBytes()>;

struct ByteWriter {
  Description& out;
  size_t at;
  constexpr void u8(uint8_t value) { out[at++] = value; }
  constexpr void u16(uint16_t value) {
    u8(static_cast<uint8_t>(value & 0xFF));
    u8(static_cast<uint8_t>(value >> 8));
  }
  constexpr void u32(uint32_t value) {
    u16(static_cast<uint16_t>(value & 0xFFFF));
    u16(static_cast<uint16_t>(value >> 16));
  }
  constexpr void text(const char* value) {
    for (size_t i = 0; value[i] != '\0'; ++i) u8(static_cast<uint8_t>(value[i]));
    u8(0);
  }
  constexpr void common(uint16_t type, uint16_t id, const uint8_t* flags, uint16_t column, uint16_t row, uint16_t width,
                        uint16_t height) {
    u16(type);
    u16(id);
    for (int i = 0; i < 4; ++i) u8(flags[i]);
    u16(column);
    u16(row);
    u16(width);
    u16(height);
    u32(0);
  }
  constexpr void control(const DialogRow& row) {
    if (row.type == kControlTextInput) {
      u16(kControlTextInput);
      u16(kTextInputBlock);
    }
    common(row.type, row.id, row.flags, row.column, row.row, row.width, 1);
    if (row.type == kControlTextInput) {
      u32(0);
      u32(0);
      for (uint16_t value : kTextInputValues) u16(value);
    }
    text(row.text);
  }
};

// The one encoder: header, frame record, then the control rows in order.
constexpr Description encodeDescription() {
  Description bytes{};
  ByteWriter writer{bytes, 0};
  writer.u32(static_cast<uint32_t>(bytes.size() - 4));
  writer.u16(static_cast<uint16_t>(bytes.size() - kHeaderBytes));
  writer.u16(kSettingsDialogControls);
  const uint8_t noFlags[4] = {0, 0, 0, 0};
  writer.common(kControlFrame, kFrameId, noFlags, 0, 0, kFrameWidth, kFrameHeight);
  writer.text(kFrameTitle);
  for (const DialogRow& row : kRows) writer.control(row);
  return bytes;
}

constexpr Description kDescription = encodeDescription();

constexpr uint32_t readU32(size_t at) {
  return kDescription[at] | kDescription[at + 1] << 8 | kDescription[at + 2] << 16 |
         static_cast<uint32_t>(kDescription[at + 3]) << 24;
}
constexpr uint16_t readU16(size_t at) { return static_cast<uint16_t>(kDescription[at] | kDescription[at + 1] << 8); }

static_assert(readU32(0) == 1155, "1155 bytes follow the record's first field");
static_assert(readU16(4) == 1151, "1151 bytes follow the header");
static_assert(readU16(6) == 22, "22 control records follow the frame");
static_assert(kDescription.size() == 1159, "the whole record is 1159 bytes");

// Bytes a control's value takes in ImportSettings: 16-bit numbers for pick
// lists and check boxes, the text and its terminator for a text field.
constexpr size_t valueBytes(const DialogRow& row) {
  switch (row.type) {
    case kControlPickList:
    case kControlCheckBox:
      return sizeof(int16_t);
    case kControlTextInput:
      return kSymbolLimit + 1;
    default:
      return 0;
  }
}

// The host assigns the value-bearing controls, in record order, to
// consecutive fields; the rows' fields must say exactly that.
constexpr bool fieldsFollowRecordOrder() {
  size_t next = 0;
  for (const DialogRow& row : kRows) {
    size_t bytes = valueBytes(row);
    if (row.field.size != bytes) return false;
    if (bytes == 0) continue;
    if (row.field.offset != next) return false;
    next += bytes;
  }
  return next == sizeof(ImportSettings);
}
static_assert(fieldsFollowRecordOrder(), "the dialog's controls fill ImportSettings in order, without gaps");

}  // namespace

const DialogRow* settingsDialogRows() { return kRows; }

const uint8_t* settingsDialogDescription() { return kDescription.data(); }

size_t settingsDialogDescriptionSize() { return kDescription.size(); }
