// Host functions the plug-in binds but never calls: they exist so that the
// binding finds them, and record a call should one ever be made.
#include "core/host_exports.h"

#define STANDIN_BOUND_ONLY(ordinal)                       \
  STANDIN_EXPORT int32_t MG_STDCALL ordinal_##ordinal() { \
    standin::recordCall(ordinal);                         \
    return 0;                                             \
  }

STANDIN_BOUND_ONLY(22900)
STANDIN_BOUND_ONLY(22934)
STANDIN_BOUND_ONLY(22935)
STANDIN_BOUND_ONLY(22894)
STANDIN_BOUND_ONLY(22892)
STANDIN_BOUND_ONLY(40404)
STANDIN_BOUND_ONLY(32008)
STANDIN_BOUND_ONLY(51425)
STANDIN_BOUND_ONLY(52262)
STANDIN_BOUND_ONLY(51430)
STANDIN_BOUND_ONLY(30520)
STANDIN_BOUND_ONLY(52466)
STANDIN_BOUND_ONLY(52003)
STANDIN_BOUND_ONLY(52263)
STANDIN_BOUND_ONLY(52029)
STANDIN_BOUND_ONLY(41611)
STANDIN_BOUND_ONLY(40008)
STANDIN_BOUND_ONLY(41613)
