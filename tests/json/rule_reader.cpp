// The rules, step by step, with standard containers (see rule_reader.h).
#include "json/rule_reader.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "json/json_dump.h"

namespace {

constexpr size_t kMembers = 960;
constexpr size_t kElements = 122880;
constexpr int kDepth = 20;

struct Reader {
  const char* p;
};

bool readValue(Reader& r, int level, std::string& out);

void skipBlanks(Reader& r) {
  while (std::isspace(static_cast<unsigned char>(*r.p))) ++r.p;
}

// The decoded text of the string at r.p (an opening quote).
bool readString(Reader& r, std::string& decoded) {
  const char* start = r.p + 1;
  const char* q = start;
  for (;;) {
    if (*q == '\0') return false;
    if (*q == '\\') {
      if (q[1] == '\0') return false;
      q += 2;
      continue;
    }
    if (*q == '"') break;
    ++q;
  }
  std::string raw(start, q);  // the copy, terminated by its NUL
  r.p = q + 1;
  decoded.clear();
  for (size_t i = 0; i < raw.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(raw[i]);
    if (c == '\\') {
      char e = raw[i + 1];
      ++i;
      switch (e) {
        case '"':
        case '\\':
        case '/':
          decoded += e;
          break;
        case 'b':
          decoded += '\x08';
          break;
        case 'f':
          decoded += '\x0C';
          break;
        case 'n':
          decoded += '\x0A';
          break;
        case 'r':
          decoded += '\x0D';
          break;
        case 't':
          decoded += '\x09';
          break;
        case 'u': {
          const char* digits = raw.c_str() + i + 1;
          for (int k = 0; k < 4; ++k) {
            if (!std::isxdigit(static_cast<unsigned char>(digits[k]))) return false;
          }
          unsigned v = 0;
          if (std::sscanf(digits, "%4x", &v) != 1) return false;
          if (v < 0x80) {
            decoded += static_cast<char>(v);
          } else if (v < 0x800) {
            decoded += static_cast<char>(0xC0 | (v >> 6));
            decoded += static_cast<char>(0x80 | (v & 0x3F));
          } else {
            decoded += static_cast<char>(0xE0 | (v >> 12));
            decoded += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
            decoded += static_cast<char>(0x80 | (v & 0x3F));
          }
          i += 4;
          break;
        }
        default:
          return false;
      }
    } else if (std::iscntrl(c) && c != 0x7F) {
      return false;
    } else {
      decoded += static_cast<char>(c);
    }
  }
  decoded.resize(std::strlen(decoded.c_str()));
  return true;
}

bool readNumber(Reader& r, std::string& out) {
  char* end = nullptr;
  double number = std::strtod(r.p, &end);
  std::string text(r.p, static_cast<const char*>(end));
  if (text.size() > 1 && text[0] == '0' && text[1] != '.') return false;
  if (text.size() > 2 && text[0] == '-' && text[1] == '0' && text[2] != '.') return false;
  if (text.find_first_of("xX") != std::string::npos) return false;
  r.p = end;
  out += numberCanonical(number);
  return true;
}

bool readLiteral(Reader& r, const char* word, const char* canonical, std::string& out) {
  size_t length = std::strlen(word);
  if (std::strncmp(r.p, word, length) != 0) return false;
  r.p += length;
  out += canonical;
  return true;
}

bool readObject(Reader& r, int level, std::string& out) {
  std::vector<std::string> names;
  size_t capacity = 0;
  std::string body;
  ++r.p;
  skipBlanks(r);
  if (*r.p == '}') {
    ++r.p;
    out += "{}";
    return true;
  }
  if (*r.p != '\0') {
    for (;;) {
      if (*r.p != '"') return false;
      std::string name;
      if (!readString(r, name)) return false;
      skipBlanks(r);
      if (*r.p != ':') return false;
      ++r.p;
      std::string value;
      if (!readValue(r, level + 1, value)) return false;
      if (names.size() >= capacity) {
        capacity = capacity * 2 < 15 ? 15 : capacity * 2;
        if (capacity > kMembers) return false;
      }
      for (const std::string& existing : names) {
        if (existing == name) return false;
      }
      if (!names.empty()) body += ',';
      body += hexBytes(name) + "=" + value;
      names.push_back(name);
      skipBlanks(r);
      if (*r.p != ',') break;
      ++r.p;
      skipBlanks(r);
      if (*r.p == '\0') break;
    }
  }
  skipBlanks(r);
  if (*r.p != '}') return false;
  ++r.p;
  out += "{" + body + "}";
  return true;
}

bool readArray(Reader& r, int level, std::string& out) {
  size_t count = 0;
  size_t capacity = 0;
  std::string body;
  ++r.p;
  skipBlanks(r);
  if (*r.p == ']') {
    ++r.p;
    out += "[]";
    return true;
  }
  if (*r.p != '\0') {
    for (;;) {
      std::string value;
      if (!readValue(r, level + 1, value)) return false;
      if (count >= capacity) {
        capacity = capacity * 2 < 15 ? 15 : capacity * 2;
        if (capacity > kElements) return false;
      }
      if (count != 0) body += ',';
      body += value;
      ++count;
      skipBlanks(r);
      if (*r.p != ',') break;
      ++r.p;
      skipBlanks(r);
      if (*r.p == '\0') break;
    }
  }
  skipBlanks(r);
  if (*r.p != ']') return false;
  ++r.p;
  out += "[" + body + "]";
  return true;
}

bool readValue(Reader& r, int level, std::string& out) {
  if (level >= kDepth) return false;
  skipBlanks(r);
  char c = *r.p;
  if (c == '"') {
    std::string text;
    if (!readString(r, text)) return false;
    out += "s:" + hexBytes(text);
    return true;
  }
  if (c == '-' || (c >= '0' && c <= '9')) return readNumber(r, out);
  if (c == '{') return readObject(r, level, out);
  if (c == '[') return readArray(r, level, out);
  if (c == 't') return readLiteral(r, "true", "true", out);
  if (c == 'f') return readLiteral(r, "false", "false", out);
  if (c == 'n') return readLiteral(r, "null", "null", out);
  return false;
}

}  // namespace

std::string ruleReaderCanonical(const char* text) {
  if (text == nullptr || (text[0] != '{' && text[0] != '[')) return "REFUSED";
  Reader r{text};
  std::string out;
  if (!readValue(r, 0, out)) return "REFUSED";
  return out;
}
