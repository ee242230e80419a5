// Decoding of the form-encoded body of a service call.
#include "form_decoding.h"

namespace mockgate {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string percentDecode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> decodeForm(const std::string& body) {
    std::vector<std::pair<std::string, std::string>> fields;
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string::npos) end = body.size();
        std::string field = body.substr(start, end - start);
        if (!field.empty()) {
            size_t eq = field.find('=');
            if (eq == std::string::npos)
                fields.emplace_back(percentDecode(field), std::string());
            else
                fields.emplace_back(percentDecode(field.substr(0, eq)), percentDecode(field.substr(eq + 1)));
        }
        start = end + 1;
    }
    return fields;
}

ServiceCall decodeServiceCall(const std::string& body) {
    ServiceCall call;
    bool parametersSeen = false;
    for (auto& field : decodeForm(body)) {
        if (field.first == "token" && !call.hasToken) {
            call.hasToken = true;
            call.token = std::move(field.second);
        } else if (field.first == "method" && !call.hasMethod) {
            call.hasMethod = true;
            call.method = std::move(field.second);
        } else if (field.first == "parameters" && !parametersSeen) {
            parametersSeen = true;
            if (field.second.empty()) continue;
            call.hasParameters = true;
            call.parametersText = std::move(field.second);
            call.parametersValid = parseJson(call.parametersText, call.parameters) && call.parameters.IsObject();
            if (!call.parametersValid) call.parameters.SetNull();
        }
    }
    return call;
}

}  // namespace mockgate
