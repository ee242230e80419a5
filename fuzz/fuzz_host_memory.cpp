// Host memory functions of the libFuzzer build: the three the JSON reader
// calls, on malloc, counting live blocks and able to fail one allocation.
#include <cstdlib>

#include "hostlink/host_services.h"
#include "fuzz_host.h"

namespace {

long liveBlocks = 0;
long allocations = 0;
long failAt = 0;

bool nextAllocationFails() {
  allocations += 1;
  return failAt != 0 && allocations == failAt;
}

}  // namespace

void* hostAllocate(uint32_t size) {
  if (nextAllocationFails()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) liveBlocks += 1;
  return block;
}

void* hostReallocate(void* block, uint32_t size) {
  if (nextAllocationFails()) return nullptr;
  void* moved = std::realloc(block, size == 0 ? 1 : size);
  if (moved != nullptr && block == nullptr) liveBlocks += 1;
  return moved;
}

void hostRelease(void* block) {
  if (block == nullptr) return;
  std::free(block);
  liveBlocks -= 1;
}

long fuzzLiveBlocks() { return liveBlocks; }
long fuzzAllocationCount() { return allocations; }
void fuzzFailNthAllocation(long n) { failAt = n == 0 ? 0 : allocations + n; }
