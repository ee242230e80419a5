// The reserve of zeroed pages behind the host's allocate-zeroed. Blocks are
// handed out one after another from pages that read zero; when the reserve is
// used up and every block has come back, its used part is made zero again
// (zeroed_pages.h) and handing out starts over. Not under AddressSanitizer,
// which must see every block.
#include "memory/zeroed_reserve.h"

#if defined(__SANITIZE_ADDRESS__)
#define STANDIN_SANITIZED_ADDRESSES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define STANDIN_SANITIZED_ADDRESSES 1
#endif
#endif

#include <cstring>
#include <mutex>

#include "memory/zeroed_pages.h"

namespace standin {
namespace {

constexpr size_t kPage = 4096;
constexpr size_t kHeader = 16;  // the size asked for; keeps the C library's alignment
constexpr size_t kReserveSize = 4 << 20;
constexpr uint64_t kSmallest = 64 << 10;  // smaller blocks cost little to clear whole
constexpr uint64_t kLargest = kReserveSize / 4;

struct Reserve {
  std::mutex lock;
  bool tried = false;
  char* base = nullptr;  // null: no reserve, everything goes to the C library
  size_t used = 0;       // bytes handed out since the reserve was last made zero
  long live = 0;         // blocks handed out and not given back
};

Reserve& reserve() {
  static Reserve instance;
  return instance;
}

bool ready(Reserve& r) {
#if !defined(STANDIN_SANITIZED_ADDRESSES)
  if (!r.tried) r.base = reserveZeroPages(kReserveSize);
#endif
  r.tried = true;
  return r.base != nullptr;
}

bool inReserve(const Reserve& r, const void* block) {
  auto at = reinterpret_cast<uintptr_t>(block), base = reinterpret_cast<uintptr_t>(r.base);
  return r.base != nullptr && at >= base && at < base + kReserveSize;
}

}  // namespace

void* takeZeroedBlock(uint64_t size) {
  if (size < kSmallest || size > kLargest) return nullptr;
  Reserve& r = reserve();
  std::lock_guard<std::mutex> hold(r.lock);
  if (!ready(r)) return nullptr;
  const size_t span = static_cast<size_t>(kHeader + size + kPage - 1) / kPage * kPage;
  if (r.used + span > kReserveSize) {
    if (r.live != 0) return nullptr;  // the C library serves until all have come back
    if (!makePagesZero(r.base, r.used)) {
      r.base = nullptr;
      return nullptr;
    }
    r.used = 0;
  }
  char* start = r.base + r.used;
  std::memcpy(start, &size, sizeof size);
  r.used += span;
  r.live += 1;
  return start + kHeader;
}

size_t zeroedBlockSize(const void* block) {
  Reserve& r = reserve();
  std::lock_guard<std::mutex> hold(r.lock);
  if (!inReserve(r, block)) return 0;
  uint64_t size = 0;
  std::memcpy(&size, static_cast<const char*>(block) - kHeader, sizeof size);
  return static_cast<size_t>(size);
}

bool giveBackZeroedBlock(void* block) {
  Reserve& r = reserve();
  std::lock_guard<std::mutex> hold(r.lock);
  if (!inReserve(r, block)) return false;
  r.live -= 1;
  return true;
}

}  // namespace standin
