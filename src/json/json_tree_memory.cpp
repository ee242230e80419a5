// Slabs of a JSON tree's host memory (see json_tree_memory.h). The first
// slab is sized from the text (three bytes per byte of text hold the trees
// of typical replies, so one slab is the rule); further slabs double in
// size, and a single text larger than that gets a slab of its own. Regular
// slabs stay below 32 MB, the size up to which common allocators keep and
// reuse freed blocks instead of handing them back to the system.
#include "json/json_tree_memory.h"

#include "hostlink/host_services.h"

namespace json_tree {

namespace {

constexpr size_t kSmallestSlab = 512;
constexpr size_t kLargestRegularSlab = (size_t(32) << 20) - (size_t(64) << 10);
constexpr size_t kTreeBytesPerTextByte = 3;

Slab* newSlab(size_t size) {
  if (size > UINT32_MAX) return nullptr;
  auto* slab = static_cast<Slab*>(hostAllocate(static_cast<uint32_t>(size)));
  if (slab == nullptr) return nullptr;
  slab->next = nullptr;
  slab->size = static_cast<uint32_t>(size);
  return slab;
}

void releaseChain(Slab* slab) {
  while (slab != nullptr) {
    Slab* next = slab->next;
    hostRelease(slab);
    slab = next;
  }
}

}  // namespace

bool openTreeMemory(TreeMemory& memory, size_t textLength) {
  size_t size = kLargestRegularSlab;
  if (textLength < (kLargestRegularSlab - kSmallestSlab) / kTreeBytesPerTextByte) {
    size = textLength * kTreeBytesPerTextByte + kSmallestSlab;
  }
  Slab* slab = newSlab(size);
  if (slab == nullptr) return false;
  memory.first = memory.last = slab;
  memory.next = reinterpret_cast<char*>(slab) + kRootOffset + sizeof(JsonValue);
  memory.end = reinterpret_cast<char*>(slab) + size;
  memory.nextSlabSize = size;
  return true;
}

bool addSlab(TreeMemory& memory, size_t size) {
  if (size > SIZE_MAX - kRootOffset) return false;
  memory.nextSlabSize = memory.nextSlabSize < kLargestRegularSlab / 2 ? memory.nextSlabSize * 2 : kLargestRegularSlab;
  size_t slabSize = size + kRootOffset > memory.nextSlabSize ? size + kRootOffset : memory.nextSlabSize;
  Slab* slab = newSlab(slabSize);
  if (slab == nullptr) return false;
  memory.last->next = slab;
  memory.last = slab;
  memory.next = reinterpret_cast<char*>(slab) + kRootOffset;
  memory.end = reinterpret_cast<char*>(slab) + slabSize;
  return true;
}

void releaseTreeMemory(TreeMemory& memory) {
  releaseChain(memory.first);
  memory = TreeMemory{};
}

void releaseTree(JsonValue* root) {
  releaseChain(reinterpret_cast<Slab*>(reinterpret_cast<char*>(root) - kRootOffset));
}

}  // namespace json_tree
