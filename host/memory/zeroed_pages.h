// Pages behind the zeroed reserve, per platform: a stretch of fresh pages that
// read zero, and the way to make a used part of it zero again without writing
// every byte.
#pragma once

#include <cstddef>

namespace standin {

// Fresh pages of size bytes reading zero, or null where the platform offers
// no sound way to make them zero again.
char* reserveZeroPages(size_t size);

// Makes the first size bytes of pages read zero again (no block in them is in
// use); false when it could not and the pages must not be used any more.
bool makePagesZero(char* pages, size_t size);

}  // namespace standin
