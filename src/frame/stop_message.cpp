// The "STOP!!!" message (see stop_message.h).
#include "frame/stop_message.h"

#include "hostlink/host_services.h"

namespace {
const HeldText kStopTitle = {"STOP!!!"};
}

void showStopMessage(HeldText format, const char* first, const char* second) {
  const uintptr_t arguments[] = {kStopLeadWord, reinterpret_cast<uintptr_t>(first),
                                 reinterpret_cast<uintptr_t>(second)};
  hostTitledMessage(kStopContext, kStopTitle.get(), format.get(), kStopStyle, arguments);
}
