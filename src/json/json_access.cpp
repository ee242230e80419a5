// Typed getters over a parsed JSON tree. Member lookup is a linear scan from
// the first member that compares first bytes, then lengths, then the rest.
#include <cstring>

#include "json/json.h"

JsonObject* jsonValueObject(const JsonValue* value) {
  return value != nullptr && value->type == JSON_OBJECT ? value->object : nullptr;
}

JsonArray* jsonValueArray(const JsonValue* value) {
  return value != nullptr && value->type == JSON_ARRAY ? value->array : nullptr;
}

uint32_t jsonObjectCount(const JsonObject* object) { return object != nullptr ? object->count : 0; }

JsonValue* jsonObjectFind(const JsonObject* object, const char* name, uint32_t length) {
  if (object == nullptr || name == nullptr) return nullptr;
  for (uint32_t i = 0; i < object->count; ++i) {
    const char* candidate = object->names[i];
    if (length > 0 && candidate[0] != name[0]) continue;
    if (std::strlen(candidate) == length && std::memcmp(candidate, name, length) == 0) return object->values[i];
  }
  return nullptr;
}

namespace {

// The member named by a NUL-terminated name when it has the given type.
const JsonValue* memberOfType(const JsonObject* object, const char* name, JsonType type) {
  if (name == nullptr) return nullptr;
  const JsonValue* value = jsonObjectFind(object, name, static_cast<uint32_t>(std::strlen(name)));
  return value != nullptr && value->type == type ? value : nullptr;
}

}  // namespace

const char* jsonObjectString(const JsonObject* object, const char* name) {
  const JsonValue* value = memberOfType(object, name, JSON_STRING);
  return value != nullptr ? value->string : nullptr;
}

double jsonObjectNumber(const JsonObject* object, const char* name) {
  const JsonValue* value = memberOfType(object, name, JSON_NUMBER);
  return value != nullptr ? value->number : 0.0;
}

JsonArray* jsonObjectArray(const JsonObject* object, const char* name) {
  const JsonValue* value = memberOfType(object, name, JSON_ARRAY);
  return value != nullptr ? value->array : nullptr;
}

uint32_t jsonArrayCount(const JsonArray* array) { return array != nullptr ? array->count : 0; }

JsonObject* jsonArrayObjectAt(const JsonArray* array, uint32_t index) {
  if (array == nullptr || index >= array->count) return nullptr;
  return jsonValueObject(array->items[index]);
}
