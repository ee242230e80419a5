// Conversion of number text for the JSON reader: reads exactly the text and
// gives exactly the double that the C library's strtod gives in the "C"
// locale, without depending on the process locale.
#pragma once

// Converts the number text that starts at `text` (a sign, a digit or a point;
// leading blanks are not skipped). Returns the end of the consumed text, or
// `text` itself when nothing forms a number (then *value is 0.0). Returns
// null only when a scratch buffer for the conversion could not be had.
// Decimal, hexadecimal ("0x1p4"), "inf", "infinity", "nan" and "nan(...)"
// forms are consumed as strtod consumes them.
const char* convertNumberText(const char* text, double* value);

// The same for the parser, which knows `textEnd`, the terminating NUL of the
// whole text (digits are then read eight at a time where eight bytes
// remain), and learns in *decimal whether the text was read as a decimal
// number (digits, point, exponent), which holds no "x".
const char* convertNumberText(const char* text, const char* textEnd, double* value, bool* decimal);
