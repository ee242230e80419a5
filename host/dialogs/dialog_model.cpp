// A running dialog: values, keyboard and drawing (see dialog_model.h).
#include "dialogs/dialog_model.h"

#include <algorithm>
#include <cstring>

#include "text/codepages.h"

namespace standin {

namespace {

constexpr char kKeyNameStart = 0x05;
constexpr char kKeyNameEnd = 0x01;
constexpr int kLargestFrame = 250;

bool takesFocus(uint16_t type) {
  return type == kDialogPickList || type == kDialogCheckBox || type == kDialogTextInput || type == kDialogPushButton;
}

int clampDimension(int value) { return std::max(3, std::min(value, kLargestFrame)); }

int16_t readInt16(const uint8_t* at) { return static_cast<int16_t>(at[0] | at[1] << 8); }

void writeInt16(uint8_t* at, int32_t value) {
  at[0] = static_cast<uint8_t>(value & 0xFF);
  at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// The key name a button shows between 0x05 and 0x01 ("F12", "ESC").
std::string keyName(const std::string& text) {
  if (text.empty() || text[0] != kKeyNameStart) return std::string();
  size_t end = text.find(kKeyNameEnd);
  return end == std::string::npos ? text.substr(1) : text.substr(1, end - 1);
}

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void put(DialogCells& cells, int row, int column, int lastColumn, const std::vector<std::string>& text) {
  if (row < 0 || row >= static_cast<int>(cells.size())) return;
  for (size_t i = 0; i < text.size(); ++i) {
    int at = column + static_cast<int>(i);
    if (at > lastColumn) break;
    if (at >= 0) cells[row][at] = text[i];
  }
}

std::vector<std::string> fitted(const std::string& utf8, int width, const std::string& fill = " ") {
  std::vector<std::string> characters = utf8Characters(utf8);
  if (width < 0) width = 0;
  characters.resize(static_cast<size_t>(width), fill);
  return characters;
}

}  // namespace

std::vector<std::string> utf8Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    length = std::min(length, text.size() - i);
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

std::string buttonCaption(const std::string& mazoviaText) {
  std::string plain;
  for (char c : mazoviaText) {
    if (c != kKeyNameStart && c != kKeyNameEnd) plain += c;
  }
  return mazoviaToUtf8(plain);
}

std::string checkBoxCaption(const std::string& mazoviaText) {
  std::string plain;
  for (char c : mazoviaText) {
    if (c != '~') plain += c;
  }
  return mazoviaToUtf8(plain);
}

std::vector<std::string> textItems(const std::string& mazoviaText) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start < mazoviaText.size()) {
    size_t end = mazoviaText.find('\n', start);
    if (end == std::string::npos) end = mazoviaText.size();
    items.push_back(mazoviaToUtf8(mazoviaText.substr(start, end - start)));
    start = end + 1;
  }
  return items;
}

DialogModel::DialogModel(const DialogDescription& description)
    : description_(description), layout_(dialogValueLayout(description)) {
  height_ = clampDimension(description_.frame.height);
  width_ = clampDimension(description_.frame.width);
  for (size_t i = 0; i < description_.controls.size(); ++i) {
    const DialogControlRecord& control = description_.controls[i];
    if (!takesFocus(control.type)) continue;
    DialogField field;
    field.control = i;
    for (size_t s = 0; s < layout_.size(); ++s) {
      if (layout_[s].control == i) field.slot = static_cast<int>(s);
    }
    if (control.type == kDialogPickList && (control.flags[0] & kDialogItemsFromObject) == 0) {
      field.items = textItems(control.text);
    }
    fields_.push_back(field);
  }
}

void DialogModel::setItems(size_t control, std::vector<std::string> items) {
  for (DialogField& field : fields_) {
    if (field.control == control) field.items = std::move(items);
  }
}

DialogField* DialogModel::fieldById(uint16_t id) {
  for (DialogField& field : fields_) {
    if (description_.controls[field.control].id == id) return &field;
  }
  return nullptr;
}

void DialogModel::loadValues(const uint8_t* values) {
  for (DialogField& field : fields_) {
    if (field.slot < 0) continue;
    const DialogValueSlot& slot = layout_[field.slot];
    const uint8_t* at = values + slot.offset;
    if (description_.controls[field.control].type == kDialogTextInput) {
      const void* nul = std::memchr(at, 0, slot.size - 1);
      size_t length = nul != nullptr ? static_cast<const uint8_t*>(nul) - at : slot.size - 1;
      field.text.assign(reinterpret_cast<const char*>(at), length);
    } else {
      field.choice = readInt16(at);
    }
  }
}

void DialogModel::storeValues(uint8_t* values) const {
  for (const DialogField& field : fields_) {
    if (field.slot < 0) continue;
    const DialogValueSlot& slot = layout_[field.slot];
    uint8_t* at = values + slot.offset;
    if (description_.controls[field.control].type == kDialogTextInput) {
      std::memset(at, 0, slot.size);
      std::memcpy(at, field.text.data(), std::min(field.text.size(), slot.size - 1));
    } else {
      writeInt16(at, field.choice);
    }
  }
}

void DialogModel::setText(DialogField& field, const std::string& mazoviaText) {
  size_t limit = textInputLimit(description_.controls[field.control]);
  field.text = mazoviaText.substr(0, std::min(limit, mazoviaText.size()));
}

uint16_t DialogModel::buttonForKey(const char* name) const {
  bool f12 = std::strcmp(name, "F12") == 0;
  for (const DialogControlRecord& control : description_.controls) {
    if (control.type != kDialogPushButton) continue;
    if (f12 && control.flags[3] == kDialogKeyF12) return control.id;
    if (upper(keyName(control.text)) == name) return control.id;
  }
  return 0;
}

void DialogModel::closeWith(uint16_t id, bool cancelled) {
  closed_ = true;
  listOpen_ = false;
  result_ = id;
  cancelled_ = cancelled;
}

bool DialogModel::pressButton(uint16_t id) {
  for (const DialogControlRecord& control : description_.controls) {
    if (control.type == kDialogPushButton && control.id == id) {
      closeWith(id, upper(keyName(control.text)) == "ESC");
      return true;
    }
  }
  return false;
}

void DialogModel::moveFocus(int step) {
  if (fields_.empty()) return;
  int count = static_cast<int>(fields_.size());
  focus_ = static_cast<size_t>((static_cast<int>(focus_) + step + count) % count);
}

void DialogModel::activate(DialogField& field) {
  const DialogControlRecord& control = description_.controls[field.control];
  switch (control.type) {
    case kDialogPickList:
      if (field.items.empty()) return;
      listOpen_ = true;
      listCursor_ = field.choice >= 0 && field.choice < static_cast<int32_t>(field.items.size()) ? field.choice : 0;
      return;
    case kDialogCheckBox:
      field.choice = field.choice != 0 ? 0 : 1;
      return;
    case kDialogPushButton:
      pressButton(control.id);
      return;
    default:
      moveFocus(1);
      return;
  }
}

void DialogModel::typeCharacter(DialogField& field, const std::string& character) {
  std::string mazovia = utf8ToMazovia(character);
  if (mazovia.size() != 1 || static_cast<unsigned char>(mazovia[0]) < 0x20) return;
  if (mazovia == "?" && character != "?") return;  // not in the host's code page
  if (field.text.size() >= textInputLimit(description_.controls[field.control])) return;
  field.text += mazovia;
}

// A letter outside a text field presses the check box whose hot key it is.
void DialogModel::pressKeyLetter(const std::string& character) {
  if (character.size() != 1) return;
  char letter = upper(character)[0];
  for (size_t i = 0; i < fields_.size(); ++i) {
    const DialogControlRecord& control = description_.controls[fields_[i].control];
    if (control.type == kDialogCheckBox && control.flags[2] != 0 &&
        upper(std::string(1, control.flags[2]))[0] == letter) {
      focus_ = i;
      activate(fields_[i]);
      return;
    }
  }
}

void DialogModel::press(DialogKey key, const std::string& character) {
  if (closed_ || fields_.empty()) {
    if (!closed_ && key == DialogKey::escape) closeWith(buttonForKey("ESC"), true);
    return;
  }
  DialogField& field = fields_[focus_];
  uint16_t type = description_.controls[field.control].type;
  if (key == DialogKey::f12) {
    uint16_t id = buttonForKey("F12");
    if (id != 0) pressButton(id);
    return;
  }
  if (listOpen_) {
    int last = static_cast<int>(field.items.size()) - 1;
    switch (key) {
      case DialogKey::up:
        listCursor_ = std::max(0, listCursor_ - 1);
        break;
      case DialogKey::down:
        listCursor_ = std::min(last, listCursor_ + 1);
        break;
      case DialogKey::enter:
      case DialogKey::space:
        field.choice = listCursor_;
        listOpen_ = false;
        break;
      case DialogKey::escape:
      case DialogKey::tab:
      case DialogKey::backTab:
        listOpen_ = false;
        break;
      default:
        break;
    }
    return;
  }
  switch (key) {
    case DialogKey::up:
    case DialogKey::left:
    case DialogKey::backTab:
      moveFocus(-1);
      break;
    case DialogKey::down:
    case DialogKey::right:
    case DialogKey::tab:
      moveFocus(1);
      break;
    case DialogKey::enter:
      activate(field);
      break;
    case DialogKey::space:
      if (type == kDialogTextInput) {
        typeCharacter(field, " ");
      } else {
        activate(field);
      }
      break;
    case DialogKey::backspace:
      if (type == kDialogTextInput && !field.text.empty()) field.text.pop_back();
      break;
    case DialogKey::character:
      if (type == kDialogTextInput) {
        typeCharacter(field, character);
      } else {
        pressKeyLetter(character);
      }
      break;
    case DialogKey::escape:
      closeWith(buttonForKey("ESC"), true);
      break;
    case DialogKey::f12:
      break;
  }
}

bool DialogModel::controlArea(size_t index, int& row, int& column, int& width) const {
  const DialogControlRecord& control = description_.controls[index];
  row = control.row;
  column = control.column;
  int last = std::min(column + static_cast<int>(control.width) - 1, width_ - 2);
  if (row < 1 || row > height_ - 2 || column < 1 || column > width_ - 2 || last < column) return false;
  width = last - column + 1;
  return true;
}

DialogCells DialogModel::draw() const {
  DialogCells cells(static_cast<size_t>(height_), std::vector<std::string>(static_cast<size_t>(width_), " "));
  for (int c = 0; c < width_; ++c) cells[0][c] = cells[height_ - 1][c] = "-";
  for (int r = 0; r < height_; ++r) cells[r][0] = cells[r][width_ - 1] = "|";
  cells[0][0] = cells[0][width_ - 1] = cells[height_ - 1][0] = cells[height_ - 1][width_ - 1] = "+";
  std::vector<std::string> title = utf8Characters(" " + mazoviaToUtf8(description_.frame.text) + " ");
  int titleColumn = std::max(1, (width_ - static_cast<int>(title.size())) / 2);
  put(cells, 0, titleColumn, width_ - 2, title);

  for (size_t i = 0; i < description_.controls.size(); ++i) {
    const DialogControlRecord& control = description_.controls[i];
    int row, column, width;
    if (!controlArea(i, row, column, width)) continue;
    const DialogField* field = nullptr;
    for (const DialogField& candidate : fields_) {
      if (candidate.control == i) field = &candidate;
    }
    std::vector<std::string> shown;
    switch (control.type) {
      case kDialogLabel:
        shown = fitted(mazoviaToUtf8(control.text), width);
        break;
      case kDialogPickList: {
        bool chosen = field->choice >= 0 && field->choice < static_cast<int32_t>(field->items.size());
        shown = fitted(chosen ? field->items[field->choice] : std::string(), width - 1);
        shown.push_back("v");
        break;
      }
      case kDialogTextInput: {
        std::vector<std::string> typed = utf8Characters(mazoviaToUtf8(field->text));
        if (static_cast<int>(typed.size()) > width) typed.erase(typed.begin(), typed.end() - width);
        typed.resize(static_cast<size_t>(width), "_");
        shown = typed;
        break;
      }
      case kDialogCheckBox:
        shown = fitted(std::string(field->choice != 0 ? "[x] " : "[ ] ") + checkBoxCaption(control.text), width);
        break;
      case kDialogPushButton: {
        std::vector<std::string> caption = utf8Characters(buttonCaption(control.text));
        int inner = std::max(0, width - 2);
        int pad = std::max(0, (inner - static_cast<int>(caption.size())) / 2);
        shown = fitted(std::string(static_cast<size_t>(pad), ' ') + buttonCaption(control.text), inner);
        shown.insert(shown.begin(), "[");
        shown.push_back("]");
        break;
      }
      default:
        break;
    }
    put(cells, row, column, column + width - 1, shown);
  }
  return cells;
}

std::string DialogModel::drawText() const {
  std::string text;
  for (const std::vector<std::string>& row : draw()) {
    for (const std::string& cell : row) text += cell;
    text += '\n';
  }
  return text;
}

}  // namespace standin
