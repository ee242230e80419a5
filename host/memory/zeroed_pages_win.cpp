// Zero pages on Windows: committed pages read zero, so the used part is made
// zero again by decommitting it and committing it anew.
#include "memory/zeroed_pages.h"

#include <windows.h>

namespace standin {

char* reserveZeroPages(size_t size) {
  return static_cast<char*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

bool makePagesZero(char* pages, size_t size) {
  return VirtualFree(pages, size, MEM_DECOMMIT) && VirtualAlloc(pages, size, MEM_COMMIT, PAGE_READWRITE) == pages;
}

}  // namespace standin
