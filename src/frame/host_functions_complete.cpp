// Whether the host exports every function the plug-in binds (see
// load_sequence.h).
#include "hostlink/host_binding.h"
#include "frame/load_sequence.h"

bool hostFunctionsComplete() {
  for (int i = 0; i < kHostFunctionCount; ++i) {
    if (boundHostFunction(static_cast<HostFunction>(i)) == nullptr) return false;
  }
  return true;
}
