// Host memory of the replay build: the plug-in's own host wrappers reach
// the host stand-in, whose counters and failing allocation are used here.
#include "fuzz_host.h"
#include "control/host_control.h"

long fuzzLiveBlocks() { return standin::liveBlocks(); }
long fuzzAllocationCount() { return standin::allocationCount(); }
void fuzzFailNthAllocation(long n) { standin::failNthAllocation(n); }
