// A running dialog of the host's dialog engine: the controls of a decoded
// description with their items and current values, keyboard handling
// (focus, pick lists, typing, check box, the closing keys) and the drawing
// of the dialog in character cells, shared by the terminal and by scripts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialog_record.h"

namespace standin {

enum class DialogKey { up, down, left, right, tab, backTab, enter, space, backspace, escape, f12, character };

// A control the user can reach: an input control or a push button.
struct DialogField {
  size_t control = 0;              // index into the description's controls
  int slot = -1;                   // index into the value layout; -1 for buttons
  std::vector<std::string> items;  // pick list items, UTF-8
  int32_t choice = 0;              // pick list index or check box state
  std::string text;                // text input, Mazovia bytes
};

// One character cell of the drawing: a UTF-8 character.
using DialogCells = std::vector<std::vector<std::string>>;

class DialogModel {
 public:
  explicit DialogModel(const DialogDescription& description);

  const DialogDescription& description() const { return description_; }
  const std::vector<DialogValueSlot>& layout() const { return layout_; }
  const std::vector<DialogField>& fields() const { return fields_; }

  // Pick lists: the items of the control with this index.
  void setItems(size_t control, std::vector<std::string> items);
  // The field of a control with this identifier; null when there is none.
  DialogField* fieldById(uint16_t id);

  // The caller's record: read at the start, written on a confirming close.
  void loadValues(const uint8_t* values);
  void storeValues(uint8_t* values) const;

  // Keyboard. `character` is one UTF-8 character for DialogKey::character.
  void press(DialogKey key, const std::string& character = std::string());
  // Closes as if the button had been pressed; false when there is no such button.
  bool pressButton(uint16_t id);
  // Sets a text input's text (Mazovia bytes), cut to its limit.
  void setText(DialogField& field, const std::string& mazoviaText);

  bool closed() const { return closed_; }
  bool cancelled() const { return cancelled_; }
  uint16_t result() const { return result_; }
  uint16_t buttonForKey(const char* keyName) const;  // 0 when none

  size_t focus() const { return focus_; }  // index into fields()
  bool listOpen() const { return listOpen_; }
  int listCursor() const { return listCursor_; }

  // The dialog in character cells (frame height x frame width), and as text:
  // one line per row, every line exactly as wide as the frame.
  DialogCells draw() const;
  std::string drawText() const;
  // Where a control lies in the drawing, clipped to the inside of the frame;
  // false when nothing of it is visible.
  bool controlArea(size_t control, int& row, int& column, int& width) const;
  int height() const { return height_; }
  int width() const { return width_; }

 private:
  void moveFocus(int step);
  void activate(DialogField& field);
  void typeCharacter(DialogField& field, const std::string& character);
  void closeWith(uint16_t id, bool cancelled);
  void pressKeyLetter(const std::string& character);

  DialogDescription description_;
  std::vector<DialogValueSlot> layout_;
  std::vector<DialogField> fields_;
  int height_ = 0;
  int width_ = 0;
  size_t focus_ = 0;
  bool listOpen_ = false;
  int listCursor_ = 0;
  bool closed_ = false;
  bool cancelled_ = false;
  uint16_t result_ = 0;
};

// Display texts of the dialog's controls, UTF-8.
std::string buttonCaption(const std::string& mazoviaText);           // without the key markers
std::string checkBoxCaption(const std::string& mazoviaText);         // without the hot-key marks
std::vector<std::string> textItems(const std::string& mazoviaText);  // one item per line
std::vector<std::string> utf8Characters(const std::string& text);

}  // namespace standin
