// The kernel's page map of this process on x86-64 Linux, used to make a stretch
// of anonymous pages zero again by clearing only the pages that have content.
#pragma once

#include <cstddef>

namespace standin {

// Clears every page of [pages, pages + size) that the kernel shows present or
// swapped out (a page with neither reads zero); all of them when the page map
// cannot be read. pages and size are whole pages.
void clearPagesWithContent(char* pages, size_t size);

}  // namespace standin
