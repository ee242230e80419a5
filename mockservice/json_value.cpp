// Small JSON document model for mockgate: parser, writer and helpers.
#include "json_value.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mockgate {

const JsonValue* JsonValue::find(const std::string& key) const {
    if (kind != JsonKind::Object) return nullptr;
    for (const auto& member : members)
        if (member.first == key) return &member.second;
    return nullptr;
}

JsonValue* JsonValue::find(const std::string& key) {
    return const_cast<JsonValue*>(static_cast<const JsonValue*>(this)->find(key));
}

void JsonValue::set(const std::string& key, JsonValue value) {
    if (JsonValue* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    members.emplace_back(key, std::move(value));
}

double JsonValue::number() const {
    return kind == JsonKind::Number ? std::strtod(text.c_str(), nullptr) : 0.0;
}

JsonValue jsonNumber(long long value) {
    return jsonNumberText(std::to_string(value));
}

JsonValue jsonNumberText(const std::string& literal) {
    JsonValue v;
    v.kind = JsonKind::Number;
    v.text = literal;
    return v;
}

JsonValue jsonString(const std::string& value) {
    JsonValue v;
    v.kind = JsonKind::String;
    v.text = value;
    return v;
}

JsonValue jsonBool(bool value) {
    JsonValue v;
    v.kind = JsonKind::Bool;
    v.boolean = value;
    return v;
}

JsonValue jsonObject() {
    JsonValue v;
    v.kind = JsonKind::Object;
    return v;
}

JsonValue jsonArray() {
    JsonValue v;
    v.kind = JsonKind::Array;
    return v;
}

namespace {

constexpr int kMaxDepth = 256;

struct Parser {
    const std::string& s;
    size_t pos = 0;
    std::string error;

    bool fail(const char* what) {
        if (error.empty()) error = std::string(what) + " at offset " + std::to_string(pos);
        return false;
    }

    void skipBlanks() {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t' || s[pos] == '\n' || s[pos] == '\r'))
            ++pos;
    }

    bool literal(const char* word) {
        size_t n = 0;
        while (word[n]) ++n;
        if (s.compare(pos, n, word) != 0) return fail("unknown literal");
        pos += n;
        return true;
    }

    bool digits() {
        size_t start = pos;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
        return pos > start;
    }

    bool number(JsonValue& out) {
        size_t start = pos;
        if (s[pos] == '-') ++pos;
        if (pos < s.size() && s[pos] == '0') {
            ++pos;
        } else if (!digits()) {
            return fail("bad number");
        }
        if (pos < s.size() && s[pos] == '.') {
            ++pos;
            if (!digits()) return fail("bad fraction");
        }
        if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
            ++pos;
            if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
            if (!digits()) return fail("bad exponent");
        }
        out = jsonNumberText(s.substr(start, pos - start));
        return true;
    }

    bool hex4(unsigned& out) {
        if (pos + 4 > s.size()) return fail("short \\u escape");
        out = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s[pos++];
            out <<= 4;
            if (c >= '0' && c <= '9') out |= unsigned(c - '0');
            else if (c >= 'a' && c <= 'f') out |= unsigned(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') out |= unsigned(c - 'A' + 10);
            else return fail("bad \\u escape");
        }
        return true;
    }

    static void appendUtf8(unsigned cp, std::string& out) {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }

    bool unicodeEscape(std::string& out) {
        unsigned cp = 0;
        if (!hex4(cp)) return false;
        if (cp >= 0xDC00 && cp <= 0xDFFF) return fail("lone low surrogate");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            unsigned low = 0;
            if (s.compare(pos, 2, "\\u") != 0) return fail("lone high surrogate");
            pos += 2;
            if (!hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return fail("bad surrogate pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(cp, out);
        return true;
    }

    bool string(std::string& out) {
        ++pos;  // opening quote
        for (;;) {
            if (pos >= s.size()) return fail("unterminated string");
            unsigned char c = static_cast<unsigned char>(s[pos]);
            if (c == '"') {
                ++pos;
                return true;
            }
            if (c < 0x20) return fail("control character in string");
            if (c != '\\') {
                out += char(c);
                ++pos;
                continue;
            }
            if (++pos >= s.size()) return fail("unterminated escape");
            char e = s[pos++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u':
                    if (!unicodeEscape(out)) return false;
                    break;
                default: return fail("bad escape");
            }
        }
    }

    bool array(JsonValue& out, int depth) {
        out = jsonArray();
        ++pos;
        skipBlanks();
        if (pos < s.size() && s[pos] == ']') {
            ++pos;
            return true;
        }
        for (;;) {
            out.items.emplace_back();
            if (!value(out.items.back(), depth + 1)) return false;
            skipBlanks();
            if (pos < s.size() && s[pos] == ',') {
                ++pos;
                continue;
            }
            if (pos < s.size() && s[pos] == ']') {
                ++pos;
                return true;
            }
            return fail("expected , or ]");
        }
    }

    bool object(JsonValue& out, int depth) {
        out = jsonObject();
        ++pos;
        skipBlanks();
        if (pos < s.size() && s[pos] == '}') {
            ++pos;
            return true;
        }
        for (;;) {
            skipBlanks();
            if (pos >= s.size() || s[pos] != '"') return fail("expected member name");
            std::string key;
            if (!string(key)) return false;
            skipBlanks();
            if (pos >= s.size() || s[pos] != ':') return fail("expected :");
            ++pos;
            out.members.emplace_back(std::move(key), JsonValue());
            if (!value(out.members.back().second, depth + 1)) return false;
            skipBlanks();
            if (pos < s.size() && s[pos] == ',') {
                ++pos;
                continue;
            }
            if (pos < s.size() && s[pos] == '}') {
                ++pos;
                return true;
            }
            return fail("expected , or }");
        }
    }

    bool value(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return fail("nesting too deep");
        skipBlanks();
        if (pos >= s.size()) return fail("unexpected end");
        char c = s[pos];
        switch (c) {
            case '{': return object(out, depth);
            case '[': return array(out, depth);
            case '"':
                out = jsonString("");
                return string(out.text);
            case 't':
                out = JsonValue();
                out.kind = JsonKind::Bool;
                out.boolean = true;
                return literal("true");
            case 'f':
                out = JsonValue();
                out.kind = JsonKind::Bool;
                return literal("false");
            case 'n':
                out = JsonValue();
                return literal("null");
            default:
                if (c == '-' || (c >= '0' && c <= '9')) return number(out);
                return fail("unexpected character");
        }
    }
};

// Length of the well-formed UTF-8 sequence at s[i], or 0 when malformed.
size_t utf8SequenceLength(const std::string& s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n;
    unsigned cp;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
    else return 0;
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return 0;
    if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
    return n;
}

}  // namespace

bool parseJson(const std::string& text, JsonValue& out, std::string* error) {
    Parser p{text, 0, std::string()};
    bool ok = p.value(out, 0);
    if (ok) {
        p.skipBlanks();
        if (p.pos != text.size()) ok = p.fail("text after the value");
    }
    if (!ok && error) *error = p.error;
    return ok;
}

void writeJsonString(const std::string& value, std::string& out) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (size_t i = 0; i < value.size();) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c < 0x20) {
            switch (c) {
                case '\n': out += "\\n"; break;
                case '\r': out += "\\r"; break;
                case '\t': out += "\\t"; break;
                case '\b': out += "\\b"; break;
                case '\f': out += "\\f"; break;
                default:
                    out += "\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 15];
            }
            ++i;
        } else if (size_t n = utf8SequenceLength(value, i)) {
            out.append(value, i, n);
            i += n;
        } else {
            // A byte that is no part of valid UTF-8 (a raw request body may
            // hold anything) is written as the code point of the same value,
            // so the output stays valid JSON.
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
            ++i;
        }
    }
    out += '"';
}

void writeJson(const JsonValue& value, std::string& out) {
    switch (value.kind) {
        case JsonKind::Null: out += "null"; break;
        case JsonKind::Bool: out += value.boolean ? "true" : "false"; break;
        case JsonKind::Number: out += value.text; break;
        case JsonKind::String: writeJsonString(value.text, out); break;
        case JsonKind::Array:
            out += '[';
            for (size_t i = 0; i < value.items.size(); ++i) {
                if (i) out += ',';
                writeJson(value.items[i], out);
            }
            out += ']';
            break;
        case JsonKind::Object:
            out += '{';
            for (size_t i = 0; i < value.members.size(); ++i) {
                if (i) out += ',';
                writeJsonString(value.members[i].first, out);
                out += ':';
                writeJson(value.members[i].second, out);
            }
            out += '}';
            break;
    }
}

std::string toJson(const JsonValue& value) {
    std::string out;
    writeJson(value, out);
    return out;
}

bool integerMember(const JsonValue& object, const std::string& key, long long& out) {
    const JsonValue* member = object.find(key);
    if (!member || !member->isNumber()) return false;
    if (member->text.find_first_of(".eE") == std::string::npos) {
        errno = 0;
        long long whole = std::strtoll(member->text.c_str(), nullptr, 10);
        if (errno == ERANGE) return false;
        out = whole;
        return true;
    }
    double d = member->number();
    if (!std::isfinite(d) || d != std::floor(d) || d < -9.2e18 || d > 9.2e18) return false;
    out = static_cast<long long>(d);
    return true;
}

}  // namespace mockgate
