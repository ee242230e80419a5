// The compatibility diagnosis: explains in one "STOP!!!" message why the
// plug-in cannot serve this host (missing features or functions, table
// record sizes, the host's own verification, versions).
#pragma once

#include <cstddef>

constexpr size_t kDiagnosisCapacity = 3072;
constexpr size_t kOrdinalListCapacity = 256;

// Runs the checks in order and shows the first explanation found, or the
// closing message when every check passes. Exactly one message.
void diagnose();

// The checks, each filling text (capacity bytes) and returning non-zero
// when it found a problem.
int checkFeatures(char* text, size_t capacity);
int checkMissingFunctions(char* text, size_t capacity);
int checkRecordSizes(char* text, size_t capacity);
int checkHostVerification(char* text, size_t capacity);
bool versionsAgree();
