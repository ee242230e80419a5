// Host memory of the stand-in: a block released twice, one the host never
// handed out and a reallocation of a released block are refused, and the
// live-block count stays exact through them.
#include <gtest/gtest.h>

#include "control/host_control.h"
#include "hostlink/host_services.h"
#include "support/host_fixture.h"

namespace {

class HostMemory : public HostFixture {
 protected:
  void TearDown() override {
    standin::setRefusedReleaseStops(true);
    HostFixture::TearDown();
  }
};

TEST_F(HostMemory, ReleasesOfBlocksNotHeldAreRefusedAndTheCountStaysExact) {
  standin::setRefusedReleaseStops(false);
  const long refusedAtStart = standin::refusedReleases();
  void* first = hostAllocate(16);
  void* second = hostAllocateZeroed(4, 4);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(standin::liveBlocks(), liveBlocksAtStart + 2);
  hostRelease(first);
  hostRelease(first);  // the planted double release
  EXPECT_EQ(standin::refusedReleases(), refusedAtStart + 1);
  EXPECT_EQ(standin::liveBlocks(), liveBlocksAtStart + 1) << "a second block still in use";
  EXPECT_EQ(hostReallocate(first, 32), nullptr);
  int notHanded = 0;
  hostRelease(&notHanded);
  EXPECT_EQ(standin::refusedReleases(), refusedAtStart + 3);
  EXPECT_EQ(standin::liveBlocks(), liveBlocksAtStart + 1);
  void* moved = hostReallocate(second, 4096);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(standin::liveBlocks(), liveBlocksAtStart + 1);
  hostRelease(moved);
  EXPECT_EQ(standin::refusedReleases(), refusedAtStart + 3);
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
TEST_F(HostMemory, DoubleReleaseStopsTheProcessByDefault) {
  void* block = hostAllocate(8);
  hostRelease(block);
  EXPECT_DEATH(hostRelease(block), "release of .* refused");
}
#endif

}  // namespace
