// Large zeroed blocks from a reserve of anonymous pages that is made zero
// again only where it was written, instead of clearing every block whole.
// Where the reserve is not available a request is not served (null) and the
// caller uses the C library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace standin {

// A zeroed block of size bytes from the reserve, or null when the reserve
// does not serve it (too small or too large a block, the reserve is in use).
void* takeZeroedBlock(uint64_t size);

// The bytes asked for when block came from the reserve, 0 when it did not.
size_t zeroedBlockSize(const void* block);

// Gives block back to the reserve; false when it did not come from there.
bool giveBackZeroedBlock(void* block);

}  // namespace standin
