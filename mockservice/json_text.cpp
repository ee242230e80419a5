// JSON helpers of mockgate on RapidJSON.
#include "json_text.h"

#include <cmath>

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

namespace mockgate {

namespace {

class CompactWriter : public CompactWriterBase<CompactWriter> {
public:
    using CompactWriterBase::CompactWriterBase;
};

// Copies an object, putting a number in place of the value of its first
// top-level member named key (which is a number in every stored order).
class NumberMemberSetter : public CompactWriterBase<NumberMemberSetter> {
public:
    NumberMemberSetter(rapidjson::StringBuffer& out, const char* key, const std::string& number)
        : CompactWriterBase(out), key_(key), number_(number) {}

    bool Key(const char* text, SizeType length, bool copy) {
        replaceNext_ = depth_ == 1 && !done_ && key_.compare(0, std::string::npos, text, length) == 0;
        return CompactWriterBase::Key(text, length, copy);
    }
    bool RawNumber(const char* text, SizeType length, bool copy) {
        if (!replaceNext_) return CompactWriterBase::RawNumber(text, length, copy);
        replaceNext_ = false;
        done_ = true;
        return writer_.RawValue(number_.data(), number_.size(), rapidjson::kNumberType);
    }
    bool StartObject() {
        ++depth_;
        return CompactWriterBase::StartObject();
    }
    bool EndObject(SizeType count) {
        if (--depth_ == 0 && !done_) {
            writer_.Key(key_.data(), SizeType(key_.size()));
            writer_.RawValue(number_.data(), number_.size(), rapidjson::kNumberType);
        }
        return CompactWriterBase::EndObject(count);
    }

private:
    std::string key_;
    std::string number_;
    int depth_ = 0;
    bool replaceNext_ = false;
    bool done_ = false;
};

template <class Handler>
void copyJson(const std::string& text, Handler& handler) {
    rapidjson::Reader reader;
    rapidjson::StringStream in(text.c_str());
    reader.Parse<kCopyParseFlags>(in, handler);
}

}  // namespace

bool parseJson(const std::string& text, JsonDocument& out, std::string* error) {
    out.Parse<rapidjson::kParseFullPrecisionFlag | rapidjson::kParseValidateEncodingFlag |
              rapidjson::kParseIterativeFlag>(text.data(), text.size());
    if (!out.HasParseError()) return true;
    if (error)
        *error = std::string(rapidjson::GetParseError_En(out.GetParseError())) + " at offset " +
                 std::to_string(out.GetErrorOffset());
    out.SetNull();
    return false;
}

std::string compactJson(const std::string& text) {
    rapidjson::StringBuffer buffer;
    CompactWriter writer(buffer);
    copyJson(text, writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string withNumberMember(const std::string& objectText, const char* key, const std::string& number) {
    rapidjson::StringBuffer buffer;
    NumberMemberSetter setter(buffer, key, number);
    copyJson(objectText, setter);
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string jsonString(const std::string& value) {
    // Bytes outside well-formed UTF-8 become the code points U+0080..U+00FF.
    rapidjson::StringBuffer text;
    for (size_t i = 0; i < value.size();) {
        char sequence[5] = {};
        value.copy(sequence, 4, i);
        rapidjson::StringStream at(sequence);
        unsigned codepoint = 0;
        size_t length = 1;
        if (rapidjson::UTF8<>::Decode(at, &codepoint) && i + at.Tell() <= value.size()) {
            length = at.Tell();
            for (size_t k = 0; k < length; ++k) text.Put(sequence[k]);
        } else {
            rapidjson::UTF8<>::Encode(text, static_cast<unsigned char>(value[i]));
        }
        i += length;
    }
    rapidjson::StringBuffer buffer;
    JsonWriter writer(buffer);
    writer.String(text.GetString(), rapidjson::SizeType(text.GetSize()));
    return std::string(buffer.GetString(), buffer.GetSize());
}

bool integerMember(const rapidjson::Value& object, const char* key, long long& out) {
    if (!object.IsObject()) return false;
    auto member = object.FindMember(key);
    if (member == object.MemberEnd() || !member->value.IsNumber()) return false;
    const rapidjson::Value& value = member->value;
    if (value.IsInt64()) {
        out = value.GetInt64();
        return true;
    }
    if (!value.IsDouble()) return false;  // a whole number beyond the signed 64-bit range
    double d = value.GetDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < -9.2e18 || d > 9.2e18) return false;
    out = static_cast<long long>(d);
    return true;
}

}  // namespace mockgate
