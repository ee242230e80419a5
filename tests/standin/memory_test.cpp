// Host memory of the stand-in: zeroed blocks are zero however their earlier
// occupants were written, and a resized zeroed block keeps its bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hostlink/host_services.h"
#include "support/host_fixture.h"

namespace {

class HostMemory : public HostFixture {};

size_t firstNonZeroByte(const char* block, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (block[i] != 0) return i;
  }
  return size;
}

// Writes the whole block, or only its last byte, or its first and middle byte.
void dirty(char* block, size_t size, int how) {
  if (how == 0) std::memset(block, 0xA5, size);
  if (how == 1) block[size - 1] = 1;
  if (how == 2) block[0] = block[size / 2] = 1;
}

// Kept blocks hold their own byte to the end: no block handed out meanwhile
// shares their memory.
void releaseKept(std::vector<std::pair<char*, uint32_t>>& kept) {
  for (auto& [block, size] : kept) {
    EXPECT_EQ(std::string(block, size), std::string(size, '\x5A')) << "kept block of " << size;
    hostRelease(block);
  }
  kept.clear();
}

TEST_F(HostMemory, ZeroedBlocksAreZeroAfterEarlierBlocksWereWrittenAnywhere) {
  // The plug-in's work block and sizes around it, some kept while others come and go.
  const uint32_t sizes[] = {205825, 205825, 65536, 300001, 205825, 131072, 1048576, 4097, 205825, 99999};
  std::vector<std::pair<char*, uint32_t>> kept;
  for (int round = 0; round < 300; ++round) {
    const uint32_t size = sizes[round % std::size(sizes)];
    char* block = static_cast<char*>(hostAllocateZeroed(1, size));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(firstNonZeroByte(block, size), size) << "round " << round << ", block of " << size;
    if (round % 7 == 0) {
      std::memset(block, 0x5A, size);
      kept.emplace_back(block, size);
    } else {
      dirty(block, size, round % 3);
      hostRelease(block);
    }
    if (kept.size() == 3 || round % 50 == 49) releaseKept(kept);
  }
  releaseKept(kept);
}

// Blocks that each write every other page leave hundreds of separate written
// stretches in the reserve before it is made zero again. The blocks are read
// only where they were written until the last: a page once read stays mapped.
TEST_F(HostMemory, ZeroedBlocksAreZeroAfterEarlierBlocksWroteEveryOtherPage) {
  const uint32_t page = 4096, size = (1 << 20) - 16;
  for (int round = 0; round < 12; ++round) {
    char* block = static_cast<char*>(hostAllocateZeroed(1, size));
    ASSERT_NE(block, nullptr);
    if (round == 11) {
      EXPECT_EQ(firstNonZeroByte(block, size), size);
    }
    for (uint32_t at = 8; at < size; at += 2 * page) {
      ASSERT_EQ(block[at], 0) << "round " << round << ", byte " << at;
      block[at] = 1;
    }
    hostRelease(block);
  }
}

TEST_F(HostMemory, ResizedZeroedBlockKeepsItsBytes) {
  const uint32_t size = 205825;
  std::vector<char> pattern(size);
  for (size_t i = 0; i < size; ++i) pattern[i] = static_cast<char>(i * 7 + 1);
  for (uint32_t newSize : {size + 100000, size - 1, 100u}) {
    char* block = static_cast<char*>(hostAllocateZeroed(1, size));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, pattern.data(), size);
    standin::failNthAllocation(1);
    EXPECT_EQ(hostReallocate(block, newSize), nullptr);
    char* moved = static_cast<char*>(hostReallocate(block, newSize));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(std::memcmp(moved, pattern.data(), std::min(size, newSize)), 0) << "resized to " << newSize;
    EXPECT_EQ(standin::liveBlocks(), liveBlocksAtStart + 1);
    hostRelease(moved);
  }
}

}  // namespace
