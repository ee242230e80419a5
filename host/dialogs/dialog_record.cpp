// Reading the host's dialog description records (see dialog_record.h).
#include "dialogs/dialog_record.h"

#include <cstring>

namespace standin {

namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kCommonFields = 20;
constexpr uint16_t kTextInputBlock = 38;

// Reads little-endian values from a window of the description, refusing
// any read past its end.
class RecordReader {
 public:
  RecordReader(const uint8_t* bytes, size_t end) : bytes_(bytes), end_(end) {}

  size_t position() const { return at_; }
  bool failed() const { return failed_; }

  uint8_t u8() {
    if (at_ >= end_) {
      failed_ = true;
      return 0;
    }
    return bytes_[at_++];
  }
  uint16_t u16() {
    uint16_t low = u8();
    return static_cast<uint16_t>(low | u8() << 8);
  }
  uint32_t u32() {
    uint32_t low = u16();
    return low | static_cast<uint32_t>(u16()) << 16;
  }
  // A NUL-terminated text; false when no terminator comes before the end.
  bool text(std::string& out) {
    if (at_ > end_) return false;
    const void* nul = std::memchr(bytes_ + at_, 0, end_ - at_);
    if (nul == nullptr) {
      failed_ = true;
      return false;
    }
    size_t length = static_cast<const uint8_t*>(nul) - (bytes_ + at_);
    out.assign(reinterpret_cast<const char*>(bytes_ + at_), length);
    at_ += length + 1;
    return true;
  }

 private:
  const uint8_t* bytes_;
  size_t end_;
  size_t at_ = 0;
  bool failed_ = false;
};

bool knownControlType(uint16_t type) {
  return type == kDialogPushButton || type == kDialogCheckBox || type == kDialogLabel || type == kDialogTextInput ||
         type == kDialogPickList;
}

// The common fields after the type: id, flags, position, size, reserved word.
void readFieldsAfterType(RecordReader& reader, DialogControlRecord& control) {
  control.id = reader.u16();
  for (uint8_t& flag : control.flags) flag = reader.u8();
  control.column = reader.u16();
  control.row = reader.u16();
  control.width = reader.u16();
  control.height = reader.u16();
  control.reserved = reader.u32();
}

std::string at(size_t offset) { return " at byte " + std::to_string(offset); }

// One record; a text input carries its fields in a block of its own.
bool readControl(RecordReader& reader, DialogControlRecord& control, std::string& error) {
  control.offset = reader.position();
  uint16_t type = reader.u16();
  if (type == kDialogTextInput) {
    uint16_t block = reader.u16();
    if (block != kTextInputBlock) {
      error = "text input record" + at(control.offset) + " has a block of " + std::to_string(block) + " bytes, not 38";
      return false;
    }
    control.type = reader.u16();
    readFieldsAfterType(reader, control);
    if (control.type != kDialogTextInput) {
      error = "text input record" + at(control.offset) + " names type " + std::to_string(control.type) +
              " inside its block";
      return false;
    }
    uint32_t zero1 = reader.u32(), zero2 = reader.u32();
    if (zero1 != 0 || zero2 != 0) {
      error = "text input record" + at(control.offset) + " has non-zero words in its block";
      return false;
    }
    for (uint16_t& value : control.textInputValues) value = reader.u16();
  } else {
    control.type = type;
    readFieldsAfterType(reader, control);
  }
  if (reader.failed()) {
    error = "record" + at(control.offset) + " runs past the end of the description";
    return false;
  }
  if (!reader.text(control.text)) {
    error = "text of the record" + at(control.offset) + " has no terminator before the end of the description";
    return false;
  }
  control.size = reader.position() - control.offset;
  return true;
}

}  // namespace

bool decodeDialogDescription(const uint8_t* bytes, size_t available, DialogDescription& out, std::string& error) {
  out = DialogDescription{};
  if (bytes == nullptr) {
    error = "no description record";
    return false;
  }
  if (available < kHeaderBytes) {
    error = "description shorter than its 8-byte header";
    return false;
  }
  RecordReader header(bytes, kHeaderBytes);
  out.bytesAfterFirstField = header.u32();
  out.bytesAfterHeader = header.u16();
  out.controlCount = header.u16();
  if (out.bytesAfterFirstField < kHeaderBytes - 4 || out.bytesAfterFirstField > kDialogDescriptionLimit) {
    error = "description claims " + std::to_string(out.bytesAfterFirstField) + " bytes after its first field";
    return false;
  }
  size_t total = size_t{out.bytesAfterFirstField} + 4;
  if (total > available) {
    error =
        "description claims " + std::to_string(total) + " bytes but only " + std::to_string(available) + " are there";
    return false;
  }
  if (size_t{out.bytesAfterHeader} + kHeaderBytes != total) {
    error = "header lengths disagree: " + std::to_string(out.bytesAfterFirstField) + " after the first field, " +
            std::to_string(out.bytesAfterHeader) + " after the header";
    return false;
  }

  RecordReader reader(bytes, total);
  for (int skip = 0; skip < 8; ++skip) reader.u8();
  if (!readControl(reader, out.frame, error)) return false;
  if (out.frame.type != kDialogFrame) {
    error = "first record is of type " + std::to_string(out.frame.type) + ", not the frame";
    return false;
  }
  for (uint16_t i = 0; i < out.controlCount; ++i) {
    DialogControlRecord control;
    if (!readControl(reader, control, error)) return false;
    if (!knownControlType(control.type)) {
      error = "record" + at(control.offset) + " has the unknown control type " + std::to_string(control.type);
      return false;
    }
    if (control.type == kDialogTextInput && textInputLimit(control) == 0) {
      error = "text input record" + at(control.offset) + " allows no characters";
      return false;
    }
    out.controls.push_back(control);
  }
  if (reader.position() != total) {
    error = std::to_string(out.controlCount) + " control records end at byte " + std::to_string(reader.position()) +
            " but the description has " + std::to_string(total) + " bytes";
    return false;
  }
  return true;
}

uint16_t textInputLimit(const DialogControlRecord& control) { return control.textInputValues[0]; }

std::vector<DialogValueSlot> dialogValueLayout(const DialogDescription& description) {
  std::vector<DialogValueSlot> layout;
  size_t offset = 0;
  for (size_t i = 0; i < description.controls.size(); ++i) {
    const DialogControlRecord& control = description.controls[i];
    size_t size = 0;
    if (control.type == kDialogPickList || control.type == kDialogCheckBox) size = 2;
    if (control.type == kDialogTextInput) size = size_t{textInputLimit(control)} + 1;
    if (size == 0) continue;
    layout.push_back(DialogValueSlot{i, offset, size});
    offset += size;
  }
  return layout;
}

}  // namespace standin
