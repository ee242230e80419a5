// A slow, literal reading of the JSON reader's rules, independent of the
// reader's code: it answers what jsonParse must produce for a text, as the
// same canonical line that canonicalDump writes (or "REFUSED"). It uses the
// C library's strtod, isspace, iscntrl, isxdigit and sscanf("%4x") exactly
// where the rules name them.
#pragma once

#include <string>

std::string ruleReaderCanonical(const char* text);
