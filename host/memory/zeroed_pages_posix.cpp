// Zero pages on Linux. Fresh anonymous pages read zero until written. On
// x86-64 the used part is made zero again by clearing only the pages the
// kernel's page map shows present or swapped out (page_map.h); elsewhere
// (32-bit x86, also under qemu-user, whose page map is not the program's) the
// kernel drops them, after a first try proves that a dropped page reads zero.
#include "memory/zeroed_pages.h"

#if defined(__linux__)

#include <sys/mman.h>

#include <cstring>

#include "memory/page_map.h"

namespace standin {
namespace {

#if defined(__x86_64__)

// The page map is the kernel's own account of the pages: nothing to prove.
bool zeroingIsProven(char*) { return true; }

void clearWrittenPages(char* pages, size_t size) { clearPagesWithContent(pages, size); }

#else

constexpr size_t kPage = 4096;

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
