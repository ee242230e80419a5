// Clearing the pages of a stretch that have content, by the kernel's page map
// (x86-64 Linux). The kernel's page map scan names the runs of such pages in
// one call; where it is refused, the map is read one entry per page.
#include "memory/page_map.h"

#if defined(__linux__) && defined(__x86_64__)

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace standin {
namespace {

constexpr size_t kPage = 4096;

// The page map scan as the kernel lays it out (Linux 6.7 on; older system
// headers do not declare it): a request, and the runs of matching pages it fills.
struct ScanRun {
  uint64_t start, end, categories;
};
struct ScanRequest {
  uint64_t size, flags, start, end, walkEnd, runs, runCapacity, maxPages;
  uint64_t categoriesInverted, categoriesAll, categoriesAny, categoriesReported;
};
static_assert(sizeof(ScanRun) == 24 && sizeof(ScanRequest) == 96, "kernel layout");
constexpr unsigned long kScan = _IOWR('f', 16, ScanRequest);
static_assert(kScan == 0xC0606610, "kernel request number");
constexpr uint64_t kScanPresent = 1 << 3, kScanSwapped = 1 << 4;

constexpr uint64_t kEntryPresent = uint64_t{1} << 63, kEntrySwapped = uint64_t{1} << 62;

bool scanRefused = false;  // a kernel that refused the scan once refuses it again

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

// Clears the runs the scan names, asking again from where each walk stopped
// (its runs may not have held them all). Returns where it got to: end, or
// less once the scan was refused.
char* clearScannedPages(int map, char* from, char* end) {
  ScanRun runs[64];
  while (from < end) {
    ScanRequest request{};
    request.size = sizeof request;
    request.start = reinterpret_cast<uintptr_t>(from);
    request.end = reinterpret_cast<uintptr_t>(end);
    request.runs = reinterpret_cast<uintptr_t>(runs);
    request.runCapacity = std::size(runs);
    request.categoriesAny = request.categoriesReported = kScanPresent | kScanSwapped;
    const int count = ioctl(map, kScan, &request);
    if (count < 0 || static_cast<size_t>(count) > std::size(runs) || request.walkEnd <= request.start ||
        request.walkEnd > request.end) {
      scanRefused = true;
      return from;
    }
    char* const stop = reinterpret_cast<char*>(request.walkEnd);
    for (int i = 0; i < count; ++i) {
      const ScanRun& run = runs[i];
      char* const first = std::max(reinterpret_cast<char*>(run.start), from);
      char* const last = std::min(reinterpret_cast<char*>(run.end), stop);
      if (first < last) std::memset(first, 0, last - first);
    }
    from = stop;
  }
  return from;
}

// Clears every page whose page map entry shows it present or swapped out;
// all of them from the first entry that cannot be read.
void clearMappedPages(int map, char* from, char* end) {
  const size_t first = reinterpret_cast<uintptr_t>(from) / kPage, count = (end - from) / kPage;
  uint64_t entries[512];
  for (size_t page = 0; page < count;) {
    const size_t n = std::min(std::size(entries), count - page);
    const ssize_t read = map < 0 ? -1 : pread(map, entries, n * sizeof entries[0], (first + page) * sizeof entries[0]);
    if (read != static_cast<ssize_t>(n * sizeof entries[0])) {
      std::memset(from + page * kPage, 0, (count - page) * kPage);
      return;
    }
    for (size_t i = 0; i < n; ++i) {
      if (entries[i] & (kEntryPresent | kEntrySwapped)) std::memset(from + (page + i) * kPage, 0, kPage);
    }
    page += n;
  }
}

}  // namespace

void clearPagesWithContent(char* pages, size_t size) {
  const int map = pageMap();
  char* from = pages;
  if (map >= 0 && !scanRefused) from = clearScannedPages(map, pages, pages + size);
  clearMappedPages(map, from, pages + size);
}

}  // namespace standin

#endif
