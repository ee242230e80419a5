// The host memory a JSON fuzzing run sees: the libFuzzer build counts its
// own malloc-based blocks, the replay build asks the host stand-in. Both
// can fail a chosen allocation.
#pragma once

long fuzzLiveBlocks();
long fuzzAllocationCount();
void fuzzFailNthAllocation(long n);  // the n-th allocation from now fails; 0: none
