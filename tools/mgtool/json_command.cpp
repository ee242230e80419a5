// "mgtool json FILE": parses the file's text (up to its first NUL) with the
// plug-in's JSON reader and prints the tree as one canonical line, or
// REFUSED when the reader refuses the text.
#include <cstdio>
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

int runJsonCommand(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mgtool json FILE\n");
    return 2;
  }
  std::string text;
  if (!readFileBytes(argv[1], &text)) {
    std::fprintf(stderr, "mgtool json: cannot read %s\n", argv[1]);
    return 2;
  }
  JsonValue* root = jsonParse(text.c_str());
  if (root == nullptr) {
    std::puts("REFUSED");
    return 1;
  }
  std::string line;
  appendCanonical(line, root);
  std::puts(line.c_str());
  jsonFree(root);
  return 0;
}

}  // namespace

MGTOOL_COMMAND("json", "FILE", runJsonCommand);
