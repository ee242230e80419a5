// The reserve of zeroed pages behind the host's allocate-zeroed. Blocks are
// handed out one after another from fresh anonymous pages, which read zero
// until written. When the reserve is used up and every block has come back,
// the pages the kernel shows present or swapped out (the only ones that can
// hold anything) are cleared and the reserve starts again. Only on Linux
// x86-64 and not under AddressSanitizer, which must see every block.
#include "zeroed_reserve.h"

#if defined(__SANITIZE_ADDRESS__)
#define STANDIN_SANITIZED_ADDRESSES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define STANDIN_SANITIZED_ADDRESSES 1
#endif
#endif

#if defined(__linux__) && defined(__x86_64__) && !defined(STANDIN_SANITIZED_ADDRESSES)

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>

namespace standin {
namespace {

constexpr size_t kPage = 4096;
constexpr size_t kHeader = 16;  // the size asked for; keeps the C library's alignment
constexpr size_t kReserveSize = 4 << 20;
constexpr uint64_t kSmallest = 64 << 10;  // smaller blocks cost little to clear whole
constexpr uint64_t kLargest = kReserveSize / 4;
constexpr uint64_t kPresent = uint64_t{1} << 63, kSwapped = uint64_t{1} << 62;  // page map bits

struct Reserve {
  std::mutex lock;
  bool tried = false;
  char* base = nullptr;  // null: no reserve, everything goes to the C library
  size_t used = 0;       // bytes handed out since the reserve was last made zero
  long live = 0;         // blocks handed out and not given back
  int pageMap = -1;      // the page map of process pageMapOwner
  pid_t pageMapOwner = 0;
};

Reserve& reserve() {
  static Reserve instance;
  return instance;
}

// Small pages only: a write then dirties 4 KiB, not a huge page.
bool ready(Reserve& r) {
  if (!r.tried) {
    r.tried = true;
    void* pages = mmap(nullptr, kReserveSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) return false;
    madvise(pages, kReserveSize, MADV_NOHUGEPAGE);
    r.base = static_cast<char*>(pages);
  }
  return r.base != nullptr;
}

bool inReserve(const Reserve& r, const void* block) {
  auto at = reinterpret_cast<uintptr_t>(block), base = reinterpret_cast<uintptr_t>(r.base);
  return r.base != nullptr && at >= base && at < base + kReserveSize;
}

// The page map of this process; a child after fork opens its own.
int pageMap(Reserve& r) {
  const pid_t self = getpid();
  if (r.pageMapOwner != self) {
    if (r.pageMap >= 0) close(r.pageMap);
    r.pageMap = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    r.pageMapOwner = self;
  }
  return r.pageMap;
}

// A page neither present nor swapped out has no content and reads zero; every
// other page of the used part is cleared (all of them when the page map
// cannot be read).
void makeZero(Reserve& r) {
  const int map = pageMap(r);
  const size_t firstPage = reinterpret_cast<uintptr_t>(r.base) / kPage, pages = r.used / kPage;
  uint64_t entries[512];
  for (size_t page = 0; page < pages;) {
    const size_t count = std::min(std::size(entries), pages - page);
    const ssize_t read = map < 0 ? -1 : pread(map, entries, count * sizeof entries[0], (firstPage + page) * sizeof entries[0]);
    if (read != static_cast<ssize_t>(count * sizeof entries[0])) {
      std::memset(r.base + page * kPage, 0, (pages - page) * kPage);
      break;
    }
    for (size_t i = 0; i < count; ++i) {
      if (entries[i] & (kPresent | kSwapped)) std::memset(r.base + (page + i) * kPage, 0, kPage);
    }
    page += count;
  }
  r.used = 0;
}

}  // namespace

void* takeZeroedBlock(uint64_t size) {
  if (size < kSmallest || size > kLargest) return nullptr;
  Reserve& r = reserve();
  std::lock_guard<std::mutex> hold(r.lock);
  if (!ready(r)) return nullptr;
  const size_t span = (kHeader + size + kPage - 1) / kPage * kPage;
  if (r.used + span > kReserveSize) {
    if (r.live != 0) return nullptr;  // the C library serves until all have come back
    makeZero(r);
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
  return size;
}

bool giveBackZeroedBlock(void* block) {
  Reserve& r = reserve();
  std::lock_guard<std::mutex> hold(r.lock);
  if (!inReserve(r, block)) return false;
  r.live -= 1;
  return true;
}

}  // namespace standin

#else

namespace standin {

void* takeZeroedBlock(uint64_t) { return nullptr; }
size_t zeroedBlockSize(const void*) { return 0; }
bool giveBackZeroedBlock(void*) { return false; }

}  // namespace standin

#endif
