// Release of a JSON tree: every text, name, block and record goes back to
// the host, children before the blocks that held them, last member first.
#include "frame/host_services.h"
#include "json/json.h"

namespace {

void releaseObject(JsonObject* object) {
  for (uint32_t i = object->count; i-- > 0;) {
    if (object->names[i] != nullptr) hostRelease(object->names[i]);
    jsonFree(object->values[i]);
  }
  if (object->names != nullptr) hostRelease(object->names);
  if (object->values != nullptr) hostRelease(object->values);
  hostRelease(object);
}

void releaseArray(JsonArray* array) {
  for (uint32_t i = array->count; i-- > 0;) jsonFree(array->items[i]);
  if (array->items != nullptr) hostRelease(array->items);
  hostRelease(array);
}

}  // namespace

void jsonFree(JsonValue* value) {
  if (value == nullptr) return;
  switch (value->type) {
    case JSON_STRING:
      if (value->string != nullptr) hostRelease(value->string);
      break;
    case JSON_OBJECT:
      if (value->object != nullptr) releaseObject(value->object);
      break;
    case JSON_ARRAY:
      if (value->array != nullptr) releaseArray(value->array);
      break;
    default:
      break;
  }
  hostRelease(value);
}
