// Host memory functions (21284-21287), counting live blocks and able to fail
// a chosen allocation, so that tests can prove nothing is left allocated.
#include <cstdlib>

#include "host_exports.h"

using standin::state;

namespace {

bool nextAllocationFails() {
  auto& s = state();
  s.allocations += 1;
  return s.failAllocationAt != 0 && s.allocations == s.failAllocationAt;
}

}  // namespace

STANDIN_EXPORT void* MG_CDECL ordinal_21284(uint32_t size) {
  if (nextAllocationFails()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) state().liveBlocks += 1;
  return block;
}

STANDIN_EXPORT void* MG_CDECL ordinal_21285(uint32_t count, uint32_t size) {
  if (nextAllocationFails()) return nullptr;
  void* block = std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
  if (block != nullptr) state().liveBlocks += 1;
  return block;
}

STANDIN_EXPORT void* MG_CDECL ordinal_21286(void* block, uint32_t size) {
  if (nextAllocationFails()) return nullptr;
  void* moved = std::realloc(block, size == 0 ? 1 : size);
  if (moved != nullptr && block == nullptr) state().liveBlocks += 1;
  return moved;
}

STANDIN_EXPORT void MG_CDECL ordinal_21287(void* block) {
  if (block == nullptr) return;
  std::free(block);
  state().liveBlocks -= 1;
}

STANDIN_CHECK_SIGNATURE(21284, AllocateFn);
STANDIN_CHECK_SIGNATURE(21285, AllocateZeroedFn);
STANDIN_CHECK_SIGNATURE(21286, ReallocateFn);
STANDIN_CHECK_SIGNATURE(21287, ReleaseFn);
