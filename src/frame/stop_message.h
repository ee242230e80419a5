// The "STOP!!!" message through which the compatibility diagnosis speaks
// to the user: the host's titled message with the diagnosis's context
// number and style, the format's arguments as a list of words.
#pragma once

#include <cstdint>

// A text carried by pointer into the message routine.
struct HeldText {
  const char* text;
  const char* get() const { return text; }
};

constexpr int32_t kStopContext = 15000;
constexpr uint32_t kStopStyle = 0xF001;
constexpr uintptr_t kStopLeadWord = 0x00006E2E;  // the host display's own first word

// Shows format with up to two text arguments.
void showStopMessage(HeldText format, const char* first = nullptr, const char* second = nullptr);
