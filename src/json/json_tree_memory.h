// Host memory of one JSON tree: the records, pointer blocks and texts of a
// tree are carved from a chain of host blocks ("slabs") that the parser
// takes with the host's allocate function, and jsonFree gives the chain
// back with the host's release function. The root value always sits at the
// start of the first slab, so the root alone leads back to the whole chain.
#pragma once

#include <cstddef>
#include <cstdint>

#include "json/json.h"

namespace json_tree {

struct Slab {
  Slab* next;
  uint32_t size;
};

// Offset of the root value within the first slab.
constexpr size_t kRootOffset = (sizeof(Slab) + 7) & ~size_t(7);

struct TreeMemory {
  Slab* first = nullptr;
  Slab* last = nullptr;
  char* next = nullptr;  // free space of the last slab: [next, end)
  char* end = nullptr;
  size_t nextSlabSize = 0;
};

// Takes the first slab, sized for a text of `textLength` bytes, with room
// for the root value. False when the host has no memory.
bool openTreeMemory(TreeMemory& memory, size_t textLength);

// Gives every slab back (the parse failed).
void releaseTreeMemory(TreeMemory& memory);

// The root's place in the first slab.
inline JsonValue* rootSlot(const TreeMemory& memory) {
  return reinterpret_cast<JsonValue*>(reinterpret_cast<char*>(memory.first) + kRootOffset);
}

// Slow path of the takers: chains a new slab with room for `size` bytes.
bool addSlab(TreeMemory& memory, size_t size);

// `size` bytes aligned for records and pointer blocks; null when the host
// has no memory.
inline void* takeRecord(TreeMemory& memory, size_t size) {
  uintptr_t at = (reinterpret_cast<uintptr_t>(memory.next) + 7) & ~uintptr_t(7);
  if (at + size > reinterpret_cast<uintptr_t>(memory.end)) {
    if (!addSlab(memory, size + 8)) return nullptr;
    at = (reinterpret_cast<uintptr_t>(memory.next) + 7) & ~uintptr_t(7);
  }
  memory.next = reinterpret_cast<char*>(at + size);
  return reinterpret_cast<void*>(at);
}

// `size` bytes for a text; null when the host has no memory.
inline char* takeText(TreeMemory& memory, size_t size) {
  if (size > static_cast<size_t>(memory.end - memory.next)) {
    if (!addSlab(memory, size)) return nullptr;
  }
  char* text = memory.next;
  memory.next += size;
  return text;
}

// Returns the unused tail of the text most recently taken.
inline void shrinkLastText(TreeMemory& memory, char* text, size_t size) { memory.next = text + size; }

// Gives back every slab of the tree whose root is `root`.
void releaseTree(JsonValue* root);

}  // namespace json_tree
