// Host memory functions (21284-21287), counting live blocks and able to fail
// a chosen allocation, so that tests can prove nothing is left allocated.
// Large zeroed blocks come from the zeroed reserve, the rest from the C library.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/host_exports.h"
#include "memory/zeroed_reserve.h"

using standin::state;

namespace {

bool nextAllocationFails() {
  auto& s = state();
  s.allocations += 1;
  return s.failAllocationAt != 0 && s.allocations == s.failAllocationAt;
}

// A block of the zeroed reserve, resized: its bytes move to the C library.
void* moveOutOfReserve(void* block, size_t keptSize, uint32_t size) {
  void* moved = std::malloc(size == 0 ? 1 : size);
  if (moved == nullptr) return nullptr;
  std::memcpy(moved, block, std::min<size_t>(keptSize, size));
  standin::giveBackZeroedBlock(block);
  return moved;
}

}  // namespace

STANDIN_EXPORT void* MG_CDECL ordinal_21284(uint32_t size) {
  standin::countHostCall();
  if (nextAllocationFails()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) state().liveBlocks += 1;
  return block;
}

STANDIN_EXPORT void* MG_CDECL ordinal_21285(uint32_t count, uint32_t size) {
  standin::countHostCall();
  if (nextAllocationFails()) return nullptr;
  if (count == 0) count = 1;
  if (size == 0) size = 1;
  void* block = standin::takeZeroedBlock(uint64_t{count} * size);
  if (block == nullptr) block = std::calloc(count, size);
  if (block != nullptr) state().liveBlocks += 1;
  return block;
}

STANDIN_EXPORT void* MG_CDECL ordinal_21286(void* block, uint32_t size) {
  standin::countHostCall();
  if (nextAllocationFails()) return nullptr;
  const size_t reservedSize = standin::zeroedBlockSize(block);
  void* moved = reservedSize != 0 ? moveOutOfReserve(block, reservedSize, size) : std::realloc(block, size == 0 ? 1 : size);
  if (moved != nullptr && block == nullptr) state().liveBlocks += 1;
  return moved;
}

STANDIN_EXPORT void MG_CDECL ordinal_21287(void* block) {
  standin::countHostCall();
  if (block == nullptr) return;
  if (!standin::giveBackZeroedBlock(block)) std::free(block);
  state().liveBlocks -= 1;
}

STANDIN_CHECK_SIGNATURE(21284, AllocateFn);
STANDIN_CHECK_SIGNATURE(21285, AllocateZeroedFn);
STANDIN_CHECK_SIGNATURE(21286, ReallocateFn);
STANDIN_CHECK_SIGNATURE(21287, ReleaseFn);
