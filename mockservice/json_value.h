// Small JSON document model for mockgate: parse, look up, build and write.
// Numbers keep the text they were written with, so an order object read
// from a shop file is sent back byte for byte as the shop holds it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mockgate {

enum class JsonKind { Null, Bool, Number, String, Array, Object };

struct JsonValue {
    JsonKind kind = JsonKind::Null;
    bool boolean = false;
    std::string text;                                        // number literal or string content
    std::vector<JsonValue> items;                            // array elements
    std::vector<std::pair<std::string, JsonValue>> members;  // object members, in written order

    bool isNumber() const { return kind == JsonKind::Number; }
    bool isString() const { return kind == JsonKind::String; }
    bool isObject() const { return kind == JsonKind::Object; }
    bool isArray() const { return kind == JsonKind::Array; }

    // First member named key, or null when absent or this is no object.
    const JsonValue* find(const std::string& key) const;
    JsonValue* find(const std::string& key);
    // Replaces the member named key, or appends it when absent.
    void set(const std::string& key, JsonValue value);
    double number() const;
};

JsonValue jsonNumber(long long value);
JsonValue jsonNumberText(const std::string& literal);
JsonValue jsonString(const std::string& value);
JsonValue jsonBool(bool value);
JsonValue jsonObject();
JsonValue jsonArray();

// Strict parse of a whole text (surrounding blanks allowed). On failure
// returns false and, when error is given, describes where it went wrong.
bool parseJson(const std::string& text, JsonValue& out, std::string* error = nullptr);

// Compact form without blanks; strings are written as UTF-8 with only the
// characters that must be escaped escaped.
void writeJson(const JsonValue& value, std::string& out);
std::string toJson(const JsonValue& value);
void writeJsonString(const std::string& value, std::string& out);

// Reads an integral number member; false when absent, not a number or
// not a whole number within the 64-bit range.
bool integerMember(const JsonValue& object, const std::string& key, long long& out);

}  // namespace mockgate
