// The host features the plug-in needs, asked of the host's feature
// function. Request code 1 names a set of features; the host answers with
// those of them it offers, so the missing ones are the requested bits the
// answer does not confirm.
#pragma once

#include <cstdint>

constexpr uint32_t kFeatureRequest = 1;
constexpr uint32_t kFeatureTableOperations = 0x00000001;   // replaceable document-table operations
constexpr uint32_t kFeatureNumberedHandlers = 0x00000002;  // handlers registered under host codes
constexpr uint32_t kFeatureUniversalImport = 0x00000004;   // universal import from a file
constexpr uint32_t kRequiredFeatures = kFeatureTableOperations | kFeatureNumberedHandlers | kFeatureUniversalImport;

// The request that only reads back the stored mask.
constexpr uint32_t kAllFeatures = 0xFFFFFFFFu;

// Asks the host's feature function about the requested features and keeps
// the missing ones as the frame's missing-feature mask (a request of
// kAllFeatures asks, but keeps the stored mask). Returns the stored mask;
// without a feature function nothing is asked and 0 is returned.
uint32_t checkHostFeatures(uint32_t requested);
