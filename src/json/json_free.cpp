// Release of a JSON tree: the root returned by jsonParse leads to the host
// blocks that hold all of the tree's records, blocks and texts.
#include "json/json.h"
#include "json/json_tree_memory.h"

void jsonFree(JsonValue* value) {
  if (value == nullptr) return;
  json_tree::releaseTree(value);
}
