// JSON in mockgate, on RapidJSON: documents to look values up in, and
// compact texts whose numbers keep the text they were written with, so that
// an order from a shop file goes back out byte for byte as the shop holds it.
#pragma once

#include <string>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace mockgate {

using JsonDocument = rapidjson::Document;
using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

// Strict parse of a whole UTF-8 text (surrounding blanks allowed), without
// recursion, so that no nesting depth can exhaust the stack. On failure
// returns false and, when error is given, says what went wrong and where.
bool parseJson(const std::string& text, JsonDocument& out, std::string* error = nullptr);

// The compact form of a valid JSON text: no blanks, strings as UTF-8 with
// only the characters that must be escaped escaped, numbers as written.
std::string compactJson(const std::string& text);

// The compact form of an object text with its first member named key set to
// the number text (appended when the object has no such member).
std::string withNumberMember(const std::string& objectText, const char* key, const std::string& number);

// A string as a JSON string. Bytes that are not UTF-8 (a raw request body
// may hold anything) stand for the code points of the same value.
std::string jsonString(const std::string& value);

// Reads an integral number member; false when absent, not a number or not
// a whole number within the 64-bit range.
bool integerMember(const rapidjson::Value& object, const char* key, long long& out);

// Writes what a RapidJSON reader reports, numbers (read as text) as their text.
template <class Derived>
class CompactWriterBase : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Derived> {
public:
    using SizeType = rapidjson::SizeType;
    explicit CompactWriterBase(rapidjson::StringBuffer& out) : writer_(out) {}
    bool Null() { return writer_.Null(); }
    bool Bool(bool value) { return writer_.Bool(value); }
    bool RawNumber(const char* text, SizeType length, bool) {
        return writer_.RawValue(text, length, rapidjson::kNumberType);
    }
    bool String(const char* text, SizeType length, bool) { return writer_.String(text, length); }
    bool Key(const char* text, SizeType length, bool) { return writer_.Key(text, length); }
    bool StartObject() { return writer_.StartObject(); }
    bool EndObject(SizeType) { return writer_.EndObject(); }
    bool StartArray() { return writer_.StartArray(); }
    bool EndArray(SizeType) { return writer_.EndArray(); }

protected:
    JsonWriter writer_;
};

// Reading flags for a compact copy: numbers as text, UTF-8 checked, no recursion.
constexpr unsigned kCopyParseFlags =
    rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag;

}  // namespace mockgate
