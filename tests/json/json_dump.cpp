// Canonical lines and model checks of JSON trees (see json_dump.h).
#include "json/json_dump.h"

#include <cmath>
#include <cstdio>
#include <cstring>

std::string hexBytes(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string numberCanonical(double number) {
  if (std::isnan(number)) return std::signbit(number) ? "n:-nan" : "n:nan";
  if (std::isinf(number)) return number < 0 ? "n:-inf" : "n:inf";
  char text[64];
  std::snprintf(text, sizeof text, "n:%.17g", number);
  return text;
}

namespace {

void appendCanonical(std::string& out, const JsonValue* value) {
  switch (value->type) {
    case JSON_NULL:
      out += "null";
      return;
    case JSON_BOOLEAN:
      out += value->boolean ? "true" : "false";
      return;
    case JSON_NUMBER:
      out += numberCanonical(value->number);
      return;
    case JSON_STRING:
      out += "s:" + hexBytes(value->string);
      return;
    case JSON_OBJECT:
      out += '{';
      for (uint32_t i = 0; i < value->object->count; ++i) {
        if (i != 0) out += ',';
        out += hexBytes(value->object->names[i]) + "=";
        appendCanonical(out, value->object->values[i]);
      }
      out += '}';
      return;
    case JSON_ARRAY:
      out += '[';
      for (uint32_t i = 0; i < value->array->count; ++i) {
        if (i != 0) out += ',';
        appendCanonical(out, value->array->items[i]);
      }
      out += ']';
      return;
  }
  out += '?';
}

std::string objectProblem(const JsonObject* object) {
  if (object == nullptr) return "object record missing";
  if (object->count != object->capacity) return "object capacity != count";
  if (object->count > kJsonMaxMembers) return "object over its member limit";
  if ((object->count == 0) != (object->names == nullptr) || (object->count == 0) != (object->values == nullptr)) {
    return "object blocks present without members or absent with members";
  }
  for (uint32_t i = 0; i < object->count; ++i) {
    if (object->names[i] == nullptr || object->values[i] == nullptr) return "object slot empty";
    for (uint32_t j = 0; j < i; ++j) {
      if (std::strcmp(object->names[i], object->names[j]) == 0) return "duplicate member name";
    }
    std::string inner = modelProblem(object->values[i]);
    if (!inner.empty()) return inner;
  }
  return "";
}

std::string arrayProblem(const JsonArray* array) {
  if (array == nullptr) return "array record missing";
  if (array->count != array->capacity) return "array capacity != count";
  if (array->count > kJsonMaxElements) return "array over its element limit";
  if ((array->count == 0) != (array->items == nullptr)) return "items block present without elements or absent";
  for (uint32_t i = 0; i < array->count; ++i) {
    if (array->items[i] == nullptr) return "array slot empty";
    std::string inner = modelProblem(array->items[i]);
    if (!inner.empty()) return inner;
  }
  return "";
}

}  // namespace

std::string canonicalDump(const JsonValue* value) {
  if (value == nullptr) return "REFUSED";
  std::string out;
  appendCanonical(out, value);
  return out;
}

std::string modelProblem(const JsonValue* value) {
  if (value == nullptr) return "absent value";
  switch (value->type) {
    case JSON_NULL:
    case JSON_NUMBER:
      return "";
    case JSON_BOOLEAN:
      return value->boolean == 0 || value->boolean == 1 ? "" : "boolean payload not 0 or 1";
    case JSON_STRING:
      return value->string != nullptr ? "" : "string value without text";
    case JSON_OBJECT:
      return objectProblem(value->object);
    case JSON_ARRAY:
      return arrayProblem(value->array);
  }
  return "type code outside 1..6";
}

std::string parseToCanonical(const std::string& text) {
  JsonValue* root = jsonParse(text.c_str());
  if (root == nullptr) return "REFUSED";
  std::string line = canonicalDump(root);
  std::string problem = modelProblem(root);
  if (!problem.empty()) line += " !" + problem;
  jsonFree(root);
  return line;
}
