// Test helpers of the JSON reader: one canonical line per tree, so that a
// tree can be compared with an expected text, and a check of the model's
// invariants (type codes, closed containers, parallel blocks).
#pragma once

#include <string>

#include "json/json.h"

// null, true, false, n:%.17g, s:HEX, {HEXNAME=VALUE,...}, [VALUE,...];
// "REFUSED" for an absent tree.
std::string canonicalDump(const JsonValue* value);

// The first broken invariant of the tree, or "" when it has none.
std::string modelProblem(const JsonValue* value);

// Parses `text` (up to its first NUL), checks the model, frees the tree and
// returns its canonical line ("REFUSED" when the parse fails; a broken
// invariant is appended after " !").
std::string parseToCanonical(const std::string& text);

// The bytes of a text as lower-case hexadecimal, as in the canonical line.
std::string hexBytes(const std::string& bytes);

// A number as in the canonical line: n:%.17g, with infinities and NaNs
// spelled out the same on every platform (n:inf, n:-inf, n:nan, n:-nan).
std::string numberCanonical(double number);
