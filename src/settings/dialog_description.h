// The settings dialog's description record in the host's dialog format: one
// table of control rows, encoded at compile time into the constant byte
// record that the host's dialog function draws and runs.
#pragma once

#include <cstddef>
#include <cstdint>

// Control types of the host's dialog format.
constexpr uint16_t kControlFrame = 0xFFFF;
constexpr uint16_t kControlPushButton = 0;
constexpr uint16_t kControlCheckBox = 2;
constexpr uint16_t kControlLabel = 3;
constexpr uint16_t kControlTextInput = 5;
constexpr uint16_t kControlPickList = 6;

// The part of ImportSettings a control edits; size 0 for controls without a value.
struct SettingsField {
  uint16_t offset;
  uint16_t size;
};

// One control of the dialog, as it goes into the record.
struct DialogRow {
  uint16_t type;
  uint16_t id;
  uint8_t flags[4];
  uint16_t column;
  uint16_t row;
  uint16_t width;
  const char* text;  // Mazovia bytes
  SettingsField field;
};

constexpr int kSettingsDialogControls = 22;
// Longest shipping symbol the text field takes.
constexpr uint16_t kSymbolLimit = 16;

// The control rows in record order (the frame is not among them).
const DialogRow* settingsDialogRows();

// The encoded record and its length in bytes (the header's first field plus four).
const uint8_t* settingsDialogDescription();
size_t settingsDialogDescriptionSize();
