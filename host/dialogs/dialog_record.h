// The host's dialog description format, read back: a decoder that checks a
// description record against its own length fields and control types, and
// the layout in which a dialog's input controls fill the caller's record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace standin {

enum DialogControlType : uint16_t {
  kDialogFrame = 0xFFFF,
  kDialogPushButton = 0,
  kDialogCheckBox = 2,
  kDialogLabel = 3,
  kDialogTextInput = 5,
  kDialogPickList = 6,
};

// Flag byte 0 of a pick list whose items the dialog object supplies.
constexpr uint8_t kDialogItemsFromObject = 0x08;
// Flag byte 3 of the button that the F12 key presses.
constexpr uint8_t kDialogKeyF12 = 0x86;

// Longest description record the engine reads; longer ones are refused.
constexpr size_t kDialogDescriptionLimit = 64 * 1024;

struct DialogControlRecord {
  uint16_t type = 0;
  uint16_t id = 0;
  uint8_t flags[4] = {0, 0, 0, 0};
  uint16_t column = 0;
  uint16_t row = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint32_t reserved = 0;
  std::string text;                  // Mazovia bytes, without the terminator
  uint16_t textInputValues[5] = {};  // text input: the five values after the two zero words
  size_t offset = 0;                 // where the record starts in the description
  size_t size = 0;                   // its length in bytes
};

struct DialogDescription {
  uint32_t bytesAfterFirstField = 0;
  uint16_t bytesAfterHeader = 0;
  uint16_t controlCount = 0;
  DialogControlRecord frame;
  std::vector<DialogControlRecord> controls;
};

// Decodes a description record of at most `available` bytes at `bytes`.
// Every read stays inside both `available` and the length the record gives
// for itself; a record that does not add up is refused with a reason in
// `error` (plain text) and false.
bool decodeDialogDescription(const uint8_t* bytes, size_t available, DialogDescription& out, std::string& error);

// The most characters a text input takes (its first extra value).
uint16_t textInputLimit(const DialogControlRecord& control);

// Where one input control's value lies in the caller's record.
struct DialogValueSlot {
  size_t control;  // index into DialogDescription::controls
  size_t offset;
  size_t size;  // 2 for pick lists and check boxes, the limit plus one for a text input
};

// The input controls in record order, each given the next bytes of the record.
std::vector<DialogValueSlot> dialogValueLayout(const DialogDescription& description);

}  // namespace standin
