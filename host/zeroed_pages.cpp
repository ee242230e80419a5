// Zero pages on Linux. Fresh anonymous pages read zero until written. On
// x86-64 the used part is made zero again by clearing only the pages the
// kernel's page map shows present or swapped out; elsewhere (32-bit x86, also
// under qemu-user, whose page map is not the program's) the kernel drops them,
// after a first try proves that a dropped page reads zero.
#include "zeroed_pages.h"

#if defined(__linux__)

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace standin {
namespace {

constexpr size_t kPage = 4096;

#if defined(__x86_64__)

constexpr uint64_t kPresent = uint64_t{1} << 63, kSwapped = uint64_t{1} << 62;  // page map bits

// The page map of this process; a child after fork opens its own.
int pageMap() {
  static int map = -1;
  static pid_t owner = 0;
  const pid_t self = getpid();
  if (owner != self) {
    if (map >= 0) close(map);
    map = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    owner = self;
  }
  return map;
}

// The page map is the kernel's own account of the pages: nothing to prove.
bool zeroingIsProven(char*) { return true; }

// A page neither present nor swapped out has no content and reads zero; every
// other page is cleared (all of them when the page map cannot be read).
void clearWrittenPages(char* pages, size_t size) {
  const int map = pageMap();
  const size_t first = reinterpret_cast<uintptr_t>(pages) / kPage, count = size / kPage;
  uint64_t entries[512];
  for (size_t page = 0; page < count;) {
    const size_t n = std::min(std::size(entries), count - page);
    const ssize_t read = map < 0 ? -1 : pread(map, entries, n * sizeof entries[0], (first + page) * sizeof entries[0]);
    if (read != static_cast<ssize_t>(n * sizeof entries[0])) {
      std::memset(pages + page * kPage, 0, (count - page) * kPage);
      return;
    }
    for (size_t i = 0; i < n; ++i) {
      if (entries[i] & (kPresent | kSwapped)) std::memset(pages + (page + i) * kPage, 0, kPage);
    }
    page += n;
  }
}

#else

// Older qemu-user took the kernel's dropping of pages as a hint and ignored it.
bool zeroingIsProven(char* pages) {
  volatile char* first = pages;
  *first = 1;
  return madvise(pages, kPage, MADV_DONTNEED) == 0 && *first == 0;
}

void clearWrittenPages(char* pages, size_t size) {
  if (madvise(pages, size, MADV_DONTNEED) != 0) std::memset(pages, 0, size);
}

#endif

}  // namespace

// Small pages only: a write then dirties 4 KiB, not a huge page.
char* reserveZeroPages(size_t size) {
  void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return nullptr;
  madvise(pages, size, MADV_NOHUGEPAGE);
  if (!zeroingIsProven(static_cast<char*>(pages))) {
    munmap(pages, size);
    return nullptr;
  }
  return static_cast<char*>(pages);
}

bool makePagesZero(char* pages, size_t size) {
  clearWrittenPages(pages, size);
  return true;
}

}  // namespace standin

#else

namespace standin {

char* reserveZeroPages(size_t) { return nullptr; }
bool makePagesZero(char*, size_t) { return false; }

}  // namespace standin

#endif
