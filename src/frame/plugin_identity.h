// What the plug-in calls itself towards the host: its display name (the
// caption of its command and the name the compatibility messages use), its
// command number and the first-run flag in the host's own profile.
#pragma once

#include <cstdint>

// "Import zamówień z Marketgate" in the Mazovia code page: 28 characters and
// the NUL, 29 bytes.
constexpr char kDisplayName[] = "Import zam\xA2wie\xA4 z Marketgate";
static_assert(sizeof kDisplayName == 29, "the display name is 29 bytes with its NUL");

constexpr uint16_t kImportCommandNumber = 32528;  // 0x7F10
constexpr int32_t kDocumentEventCode = 2294;      // host code of the document event handler
constexpr int32_t kInterfaceLevel = 112;          // the host interface the plug-in is built for

constexpr char kProfileSection[] = "marketgate";
constexpr char kProfileAskKey[] = "Pytaj";
