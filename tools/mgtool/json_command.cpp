// "mgtool json FILE": parses the file's text (up to its first NUL) with the
// plug-in's JSON reader and prints the tree as one canonical line (texts in
// hex, for scripts), or with --readable as an indented tree with names and
// texts as they stand; REFUSED when the reader refuses the text.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "json/json.h"
#include "tool_commands.h"

namespace {

bool readFileBytes(const char* path, std::string* content) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content->append(buffer, got);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

void appendHex(std::string& out, const char* text) {
  static const char kDigits[] = "0123456789abcdef";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    out += kDigits[*p >> 4];
    out += kDigits[*p & 15];
  }
}

// null, true/false, n:%.17g, s:HEX, {HEXNAME=VALUE,...}, [VALUE,...]
void appendCanonical(std::string& out, const JsonValue* value) {
  switch (value->type) {
    case JSON_NULL:
      out += "null";
      break;
    case JSON_BOOLEAN:
      out += value->boolean ? "true" : "false";
      break;
    case JSON_NUMBER: {
      char number[64];
      std::snprintf(number, sizeof number, "n:%.17g", value->number);
      out += number;
      break;
    }
    case JSON_STRING:
      out += "s:";
      appendHex(out, value->string);
      break;
    case JSON_OBJECT:
      out += '{';
      for (uint32_t i = 0; i < value->object->count; ++i) {
        if (i != 0) out += ',';
        appendHex(out, value->object->names[i]);
        out += '=';
        appendCanonical(out, value->object->values[i]);
      }
      out += '}';
      break;
    case JSON_ARRAY:
      out += '[';
      for (uint32_t i = 0; i < value->array->count; ++i) {
        if (i != 0) out += ',';
        appendCanonical(out, value->array->items[i]);
      }
      out += ']';
      break;
    default:
      out += '?';
      break;
  }
}

// A text in double quotes, its bytes as they stand but for the quote, the
// backslash and control characters, which are escaped as in JSON.
void appendQuoted(std::string& out, const char* text) {
  out += '"';
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (*p == '"' || *p == '\\') {
      out += '\\';
      out += static_cast<char>(*p);
    } else if (*p < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", *p);
      out += escaped;
    } else {
      out += static_cast<char>(*p);
    }
  }
  out += '"';
}

// The shortest of %.15g and %.17g that reads back as the same number.
void appendNumber(std::string& out, double number) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", number);
  if (std::strtod(text, nullptr) != number) std::snprintf(text, sizeof text, "%.17g", number);
  out += text;
}

void appendIndent(std::string& out, int depth) { out.append(static_cast<size_t>(depth) * 2, ' '); }

// The tree one member or item a line, two blanks a level.
void appendReadable(std::string& out, const JsonValue* value, int depth) {
  switch (value->type) {
    case JSON_NULL:
      out += "null";
      break;
    case JSON_BOOLEAN:
      out += value->boolean ? "true" : "false";
      break;
    case JSON_NUMBER:
      appendNumber(out, value->number);
      break;
    case JSON_STRING:
      appendQuoted(out, value->string);
      break;
    case JSON_OBJECT:
      if (value->object->count == 0) {
        out += "{}";
        break;
      }
      out += "{\n";
      for (uint32_t i = 0; i < value->object->count; ++i) {
        appendIndent(out, depth + 1);
        appendQuoted(out, value->object->names[i]);
        out += ": ";
        appendReadable(out, value->object->values[i], depth + 1);
        out += i + 1 < value->object->count ? ",\n" : "\n";
      }
      appendIndent(out, depth);
      out += '}';
      break;
    case JSON_ARRAY:
      if (value->array->count == 0) {
        out += "[]";
        break;
      }
      out += "[\n";
      for (uint32_t i = 0; i < value->array->count; ++i) {
        appendIndent(out, depth + 1);
        appendReadable(out, value->array->items[i], depth + 1);
        out += i + 1 < value->array->count ? ",\n" : "\n";
      }
      appendIndent(out, depth);
      out += ']';
      break;
    default:
      out += '?';
      break;
  }
}

const char kJsonUsage[] =
    "usage: mgtool json FILE [--readable]\n"
    "  parses FILE with the plug-in's JSON reader and prints the tree as one\n"
    "  canonical line (names and texts in hex), or REFUSED (exit 1) when the\n"
    "  reader refuses it; --readable prints it indented, texts as they stand\n";

int runJsonCommand(int argc, char** argv) {
  const char* path = nullptr;
  bool readable = false;
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "--help" || word == "-h") {
      std::fputs(kJsonUsage, stdout);
      return 0;
    }
    if (word == "--readable") {
      readable = true;
    } else if (word.size() > 1 && word[0] == '-') {
      std::fprintf(stderr, "mgtool json: unknown option %s\n%s", argv[i], kJsonUsage);
      return 2;
    } else if (path == nullptr) {
      path = argv[i];
    } else {
      std::fprintf(stderr, "mgtool json: one FILE only\n%s", kJsonUsage);
      return 2;
    }
  }
  if (path == nullptr) {
    std::fputs(kJsonUsage, stderr);
    return 2;
  }
  std::string text;
  if (!readFileBytes(path, &text)) {
    std::fprintf(stderr, "mgtool json: cannot read %s\n", path);
    return 2;
  }
  JsonValue* root = jsonParse(text.c_str());
  if (root == nullptr) {
    std::puts("REFUSED");
    return 1;
  }
  std::string out;
  if (readable) {
    appendReadable(out, root, 0);
  } else {
    appendCanonical(out, root);
  }
  std::puts(out.c_str());
  jsonFree(root);
  return 0;
}

}  // namespace

MGTOOL_COMMAND("json", "FILE [--readable]  the plug-in's JSON reader on FILE (hex line; --readable: indented)",
               runJsonCommand);
