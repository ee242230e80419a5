// The strict recursive-descent JSON parser. Members and elements of open
// containers wait on two scratch stacks shared by all nesting levels; a
// container that closes takes its entries off the top into blocks of exactly
// its size, so a finished tree holds no spare slots. Every record, block and
// text of the tree is carved from the tree's host memory; any failure ends
// the whole parse, which then gives all of it back.
#include <cstring>

#include "hostlink/host_services.h"
#include "json/json.h"
#include "json/json_number.h"
#include "json/json_text.h"
#include "json/json_tree_memory.h"

namespace {

using json_text::readString;
using json_text::skipBlanks;
using json_tree::takeRecord;
using json_tree::TreeMemory;

// A growable stack that starts in the parser's own frame and moves to host
// memory only when a text needs more room.
template <class T, uint32_t InlineSlots>
struct ScratchStack {
  T inlineSlots[InlineSlots];
  T* slots = inlineSlots;
  uint32_t top = 0;
  uint32_t capacity = InlineSlots;

  ScratchStack() = default;
  ScratchStack(const ScratchStack&) = delete;
  ScratchStack& operator=(const ScratchStack&) = delete;
  ~ScratchStack() {
    if (slots != inlineSlots) hostRelease(slots);
  }

  // Makes room for one more entry.
  bool reserve() { return top < capacity || grow(); }

  bool grow() {
    uint64_t bytes = uint64_t(capacity) * 2 * sizeof(T);
    if (bytes > UINT32_MAX) return false;
    T* moved;
    if (slots == inlineSlots) {
      moved = static_cast<T*>(hostAllocate(static_cast<uint32_t>(bytes)));
      if (moved != nullptr) std::memcpy(moved, inlineSlots, sizeof inlineSlots);
    } else {
      moved = static_cast<T*>(hostReallocate(slots, static_cast<uint32_t>(bytes)));
    }
    if (moved == nullptr) return false;
    slots = moved;
    capacity *= 2;
    return true;
  }
};

// A member name waiting for its object to close. The key packs the length
// with three of the name's bytes, so that most unequal names differ in it.
struct PendingName {
  uint64_t key;
  char* name;
};

inline uint64_t nameKey(const char* name, uint32_t length) {
  uint32_t bytes = 0;
  if (length != 0) {
    bytes = uint32_t(static_cast<unsigned char>(name[0])) |
            uint32_t(static_cast<unsigned char>(name[length / 2])) << 8 |
            uint32_t(static_cast<unsigned char>(name[length - 1])) << 16;
  }
  return uint64_t(bytes) << 32 | length;
}

struct Parser {
  const char* pos = nullptr;
  const char* end = nullptr;  // the text's terminating NUL
  TreeMemory memory;
  ScratchStack<JsonValue*, 256> values;
  ScratchStack<PendingName, 64> names;
};

JsonValue* parseValue(Parser& parser, int level);

JsonValue* newValue(Parser& parser, JsonType type) {
  auto* value = static_cast<JsonValue*>(takeRecord(parser.memory, sizeof(JsonValue)));
  if (value != nullptr) {
    value->type = type;
    value->string = nullptr;
  }
  return value;
}

// Moves the entries above the bases into a new object value.
JsonValue* closeObject(Parser& parser, uint32_t valueBase, uint32_t nameBase) {
  uint32_t count = parser.values.top - valueBase;
  JsonValue* value = newValue(parser, JSON_OBJECT);
  auto* object = static_cast<JsonObject*>(takeRecord(parser.memory, sizeof(JsonObject)));
  if (value == nullptr || object == nullptr) return nullptr;
  char** names = nullptr;
  JsonValue** values = nullptr;
  if (count != 0) {
    names = static_cast<char**>(takeRecord(parser.memory, count * sizeof(char*)));
    values = static_cast<JsonValue**>(takeRecord(parser.memory, count * sizeof(JsonValue*)));
    if (names == nullptr || values == nullptr) return nullptr;
    const PendingName* pending = parser.names.slots + nameBase;
    for (uint32_t i = 0; i < count; ++i) names[i] = pending[i].name;
    std::memcpy(values, parser.values.slots + valueBase, count * sizeof(JsonValue*));
  }
  parser.values.top = valueBase;
  parser.names.top = nameBase;
  object->names = names;
  object->values = values;
  object->count = count;
  object->capacity = count;
  value->object = object;
  return value;
}

// Moves the entries above the base into a new array value.
JsonValue* closeArray(Parser& parser, uint32_t valueBase) {
  uint32_t count = parser.values.top - valueBase;
  JsonValue* value = newValue(parser, JSON_ARRAY);
  auto* array = static_cast<JsonArray*>(takeRecord(parser.memory, sizeof(JsonArray)));
  if (value == nullptr || array == nullptr) return nullptr;
  JsonValue** items = nullptr;
  if (count != 0) {
    items = static_cast<JsonValue**>(takeRecord(parser.memory, count * sizeof(JsonValue*)));
    if (items == nullptr) return nullptr;
    std::memcpy(items, parser.values.slots + valueBase, count * sizeof(JsonValue*));
  }
  parser.values.top = valueBase;
  array->items = items;
  array->count = count;
  array->capacity = count;
  value->array = array;
  return value;
}

// A filter over the names of one object: 256 bits, one set per name, so that
// most new names are known not to repeat an earlier one without a search.
struct NameFilter {
  uint64_t bits[4] = {0, 0, 0, 0};

  // Marks the name's bit; false when it was clear (the name is new).
  bool markSeen(uint64_t key) {
    const uint64_t mixed = key * 0x9E3779B97F4A7C15ull;
    const unsigned bit = static_cast<unsigned>(mixed >> 56);
    const uint64_t mask = uint64_t(1) << (bit & 63);
    uint64_t& word = bits[bit >> 6];
    const bool seen = (word & mask) != 0;
    word |= mask;
    return seen;
  }
};

bool isDuplicateName(const Parser& parser, uint32_t nameBase, uint64_t key, const char* name, uint32_t length) {
  const PendingName* slots = parser.names.slots;
  for (uint32_t i = nameBase; i < parser.names.top; ++i) {
    if (slots[i].key == key && std::memcmp(slots[i].name, name, length) == 0) return true;
  }
  return false;
}

// Reads one member name and pushes it; the caller has reserved the slot.
bool pushMemberName(Parser& parser, uint32_t nameBase, NameFilter& filter, const char* quote) {
  uint32_t length = 0;
  const char* after = nullptr;
  char* name = readString(quote, parser.end, parser.memory, &length, &after);
  if (name == nullptr) return false;
  uint64_t key = nameKey(name, length);
  if (filter.markSeen(key) && isDuplicateName(parser, nameBase, key, name, length)) return false;
  parser.names.slots[parser.names.top++] = PendingName{key, name};
  parser.pos = after;
  return true;
}

// At "{": members are parsed at level + 1.
JsonValue* parseObject(Parser& parser, int level) {
  const uint32_t valueBase = parser.values.top;
  const uint32_t nameBase = parser.names.top;
  NameFilter filter;
  const char* p = skipBlanks(parser.pos + 1);
  if (*p == '}') {
    parser.pos = p + 1;
    return closeObject(parser, valueBase, nameBase);
  }
  if (*p != '\0') {
    for (;;) {
      if (*p != '"') return nullptr;
      if (parser.names.top - nameBase >= kJsonMaxMembers) return nullptr;
      if (!parser.names.reserve() || !parser.values.reserve()) return nullptr;
      if (!pushMemberName(parser, nameBase, filter, p)) return nullptr;
      p = skipBlanks(parser.pos);
      if (*p != ':') return nullptr;
      parser.pos = p + 1;
      JsonValue* member = parseValue(parser, level + 1);
      if (member == nullptr) return nullptr;
      parser.values.slots[parser.values.top++] = member;
      p = skipBlanks(parser.pos);
      if (*p != ',') break;
      p = skipBlanks(p + 1);
      if (*p == '\0') break;
    }
  }
  if (*p != '}') return nullptr;
  parser.pos = p + 1;
  return closeObject(parser, valueBase, nameBase);
}

// At "[": elements are parsed at level + 1.
JsonValue* parseArray(Parser& parser, int level) {
  const uint32_t valueBase = parser.values.top;
  const char* p = skipBlanks(parser.pos + 1);
  if (*p == ']') {
    parser.pos = p + 1;
    return closeArray(parser, valueBase);
  }
  if (*p != '\0') {
    for (;;) {
      if (parser.values.top - valueBase >= kJsonMaxElements) return nullptr;
      if (!parser.values.reserve()) return nullptr;
      parser.pos = p;
      JsonValue* element = parseValue(parser, level + 1);
      if (element == nullptr) return nullptr;
      parser.values.slots[parser.values.top++] = element;
      p = skipBlanks(parser.pos);
      if (*p != ',') break;
      p = skipBlanks(p + 1);
      if (*p == '\0') break;
    }
  }
  if (*p != ']') return nullptr;
  parser.pos = p + 1;
  return closeArray(parser, valueBase);
}

JsonValue* parseStringValue(Parser& parser, const char* quote) {
  uint32_t length = 0;
  const char* after = nullptr;
  char* text = readString(quote, parser.end, parser.memory, &length, &after);
  if (text == nullptr) return nullptr;
  JsonValue* value = newValue(parser, JSON_STRING);
  if (value == nullptr) return nullptr;
  value->string = text;
  parser.pos = after;
  return value;
}

// The number's text as the conversion consumed it: a leading zero must be
// followed by a point ("0", "0.5", "-0", "-0.5"), and no "x" may appear (a
// decimal text holds none).
bool numberTextAllowed(const char* text, const char* end, bool decimal) {
  size_t length = static_cast<size_t>(end - text);
  if (length > 1 && text[0] == '0' && text[1] != '.') return false;
  if (length > 2 && text[0] == '-' && text[1] == '0' && text[2] != '.') return false;
  if (decimal) return true;
  for (const char* p = text; p < end; ++p) {
    if ((*p | 0x20) == 'x') return false;
  }
  return true;
}

JsonValue* parseNumber(Parser& parser, const char* text) {
  double number = 0.0;
  bool decimal = false;
  const char* end = convertNumberText(text, parser.end, &number, &decimal);
  // A "-" that starts no number leaves the position on itself, where the
  // enclosing container's separator test fails: fail here at once.
  if (end == nullptr || end == text) return nullptr;
  if (!numberTextAllowed(text, end, decimal)) return nullptr;
  JsonValue* value = newValue(parser, JSON_NUMBER);
  if (value == nullptr) return nullptr;
  value->number = number;
  parser.pos = end;
  return value;
}

// Only the literal's own bytes are compared; what follows is the
// container's business.
JsonValue* parseLiteral(Parser& parser, const char* p, const char* word, JsonType type, int32_t flag) {
  size_t length = std::strlen(word);
  for (size_t i = 0; i < length; ++i) {
    if (p[i] != word[i]) return nullptr;
  }
  JsonValue* value = newValue(parser, type);
  if (value == nullptr) return nullptr;
  if (type == JSON_BOOLEAN) value->boolean = flag;
  parser.pos = p + length;
  return value;
}

JsonValue* parseValue(Parser& parser, int level) {
  if (level >= kJsonMaxDepth) return nullptr;
  const char* p = skipBlanks(parser.pos);
  switch (*p) {
    case '"':
      return parseStringValue(parser, p);
    case '{':
      parser.pos = p;
      return parseObject(parser, level);
    case '[':
      parser.pos = p;
      return parseArray(parser, level);
    case 't':
      return parseLiteral(parser, p, "true", JSON_BOOLEAN, 1);
    case 'f':
      return parseLiteral(parser, p, "false", JSON_BOOLEAN, 0);
    case 'n':
      return parseLiteral(parser, p, "null", JSON_NULL, 0);
    case '-':
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
      return parseNumber(parser, p);
    default:
      return nullptr;
  }
}

}  // namespace

JsonValue* jsonParse(const char* text) {
  if (text == nullptr || (text[0] != '{' && text[0] != '[')) return nullptr;
  Parser parser;
  const size_t length = std::strlen(text);
  if (!json_tree::openTreeMemory(parser.memory, length)) return nullptr;
  parser.pos = text;
  parser.end = text + length;
  JsonValue* value = parseValue(parser, 0);
  if (value == nullptr) {
    json_tree::releaseTreeMemory(parser.memory);
    return nullptr;
  }
  // The root sits at the start of the first slab, where jsonFree finds it.
  JsonValue* root = json_tree::rootSlot(parser.memory);
  *root = *value;
  return root;
}
