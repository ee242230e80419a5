// The JSON reader: the document model that every reply of the service is
// turned into, the strict parser that builds it in host memory, and the
// typed getters the reply decoders walk it with.
#pragma once

#include <cstdint>

// Type code, stored first in every value.
enum JsonType : int32_t {
  JSON_NULL = 1,
  JSON_STRING = 2,
  JSON_NUMBER = 3,
  JSON_OBJECT = 4,
  JSON_ARRAY = 5,
  JSON_BOOLEAN = 6,
};

struct JsonObject;
struct JsonArray;

// One separately allocated record per value.
struct JsonValue {
  JsonType type;
  union {
    char* string;        // JSON_STRING: owned NUL-terminated UTF-8 text
    double number;       // JSON_NUMBER
    JsonObject* object;  // JSON_OBJECT: owned
    JsonArray* array;    // JSON_ARRAY: owned
    int32_t boolean;     // JSON_BOOLEAN: 1 or 0
  };
};

// Members in text order; names[i] belongs to values[i]. No two names are
// equal; capacity == count once the object is closed (both blocks null when
// the object is empty).
struct JsonObject {
  char** names;
  JsonValue** values;
  uint32_t count;
  uint32_t capacity;
};

// Elements in text order; capacity == count once the array is closed.
struct JsonArray {
  JsonValue** items;
  uint32_t count;
  uint32_t capacity;
};

// Limits of one container and of nesting.
constexpr uint32_t kJsonMaxMembers = 960;
constexpr uint32_t kJsonMaxElements = 122880;
constexpr int kJsonMaxDepth = 20;

// Parses a NUL-terminated text whose very first byte is "{" or "["; whatever
// follows the top-level value is ignored. Returns the root (release it with
// jsonFree) or null on any failure, leaving nothing allocated.
JsonValue* jsonParse(const char* text);

// Releases a root returned by jsonParse and everything it owns. Null is allowed.
void jsonFree(JsonValue* value);

// Typed access. Every getter accepts an absent (null) container and then
// answers nothing, 0 or 0.0.
JsonObject* jsonValueObject(const JsonValue* value);
JsonArray* jsonValueArray(const JsonValue* value);
uint32_t jsonObjectCount(const JsonObject* object);
// The member whose name is exactly `length` bytes equal to name[0..length).
JsonValue* jsonObjectFind(const JsonObject* object, const char* name, uint32_t length);
// The member's text when it is a string, else null; owned by the tree.
const char* jsonObjectString(const JsonObject* object, const char* name);
// The member's number when it is a number, else 0.0.
double jsonObjectNumber(const JsonObject* object, const char* name);
JsonArray* jsonObjectArray(const JsonObject* object, const char* name);
uint32_t jsonArrayCount(const JsonArray* array);
// The element's object when index < count and the element is an object.
JsonObject* jsonArrayObjectAt(const JsonArray* array, uint32_t index);
