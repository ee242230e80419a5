// Host memory functions (21284-21287) on the C library's malloc, calloc,
// realloc and free. Every block handed out is known until it comes back, so
// the live-block count is exact and a release of a block the host never
// handed out, or already took back, is refused and reported.
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unordered_set>

#include "control/host_control.h"
#include "core/host_exports.h"

using standin::state;

namespace {

struct LiveBlocks {
  std::mutex lock;
  std::unordered_set<void*> blocks;
  long refused = 0;
  bool refusalStops = true;
};

LiveBlocks& live() {
  static LiveBlocks* blocks = new LiveBlocks;  // outlives every static that releases at exit
  return *blocks;
}

bool nextAllocationFails() {
  auto& s = state();
  s.allocations += 1;
  return s.failAllocationAt != 0 && s.allocations == s.failAllocationAt;
}

void handedOut(void* block) {
  if (block == nullptr) return;
  std::lock_guard<std::mutex> hold(live().lock);
  live().blocks.insert(block);
}

// Takes a block back into the host's keeping: false (after the report) when
// the host does not hold it as handed out.
bool takenBack(void* block, const char* function) {
  LiveBlocks& l = live();
  std::lock_guard<std::mutex> hold(l.lock);
  if (l.blocks.erase(block) == 1) return true;
  l.refused += 1;
  std::fprintf(stderr, "host stand-in: %s of %p refused: the host never handed out this block or has taken it back\n",
               function, block);
  std::fflush(stderr);
  if (l.refusalStops) std::abort();
  return false;
}

}  // namespace

namespace standin {

long liveBlocks() {
  std::lock_guard<std::mutex> hold(live().lock);
  return static_cast<long>(live().blocks.size());
}
long refusedReleases() {
  std::lock_guard<std::mutex> hold(live().lock);
  return live().refused;
}
void setRefusedReleaseStops(bool stops) {
  std::lock_guard<std::mutex> hold(live().lock);
  live().refusalStops = stops;
}

}  // namespace standin

STANDIN_EXPORT void* MG_CDECL ordinal_21284(uint32_t size) {
  standin::countHostCall();
  if (nextAllocationFails()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  handedOut(block);
  return block;
}

STANDIN_EXPORT void* MG_CDECL ordinal_21285(uint32_t count, uint32_t size) {
  standin::countHostCall();
  if (nextAllocationFails()) return nullptr;
  void* block = std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
  handedOut(block);
  return block;
}

STANDIN_EXPORT void* MG_CDECL ordinal_21286(void* block, uint32_t size) {
  standin::countHostCall();
  if (nextAllocationFails()) return nullptr;
  if (block == nullptr) {
    void* fresh = std::malloc(size == 0 ? 1 : size);
    handedOut(fresh);
    return fresh;
  }
  if (!takenBack(block, "reallocate")) return nullptr;
  void* moved = std::realloc(block, size == 0 ? 1 : size);
  // A failed reallocation leaves the block as it was, still the caller's.
  handedOut(moved != nullptr ? moved : block);
  return moved;
}

STANDIN_EXPORT void MG_CDECL ordinal_21287(void* block) {
  standin::countHostCall();
  if (block == nullptr) return;
  if (takenBack(block, "release")) std::free(block);
}

STANDIN_CHECK_SIGNATURE(21284, AllocateFn);
STANDIN_CHECK_SIGNATURE(21285, AllocateZeroedFn);
STANDIN_CHECK_SIGNATURE(21286, ReallocateFn);
STANDIN_CHECK_SIGNATURE(21287, ReleaseFn);
