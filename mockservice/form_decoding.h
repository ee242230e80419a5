// Decoding of a service call: the form-encoded POST body with "token",
// "method" and "parameters", the last being a JSON object.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "json_text.h"

namespace mockgate {

struct ServiceCall {
    bool hasToken = false;
    std::string token;
    bool hasMethod = false;
    std::string method;
    bool hasParameters = false;    // a non-empty "parameters" field was sent
    bool parametersValid = false;  // ... and it holds a JSON object
    std::string parametersText;    // ... as sent
    JsonDocument parameters;       // that object when valid
};

// Decodes %XX escapes and '+' (a blank); a '%' not followed by two hex
// digits is kept as it stands.
std::string percentDecode(const std::string& text);

// Splits a form body at '&' and each field at its first '='; names and
// values are percent-decoded. A field without '=' has an empty value.
std::vector<std::pair<std::string, std::string>> decodeForm(const std::string& body);

// The first "token", "method" and "parameters" fields of the body.
ServiceCall decodeServiceCall(const std::string& body);

}  // namespace mockgate
