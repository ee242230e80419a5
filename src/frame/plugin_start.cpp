// Entry 30008 with 0: the plug-in goes into service (document event
// handler, table hooks, first-run notice).
#include "frame/frame_state.h"
#include "hostlink/host_services.h"
#include "frame/load_sequence.h"
#include "frame/plugin_identity.h"
#include "frame/table_hooks.h"
#include "service/status_push.h"

int32_t startPlugin() {
  // The host may start a plug-in whose load it refused; with functions
  // missing nothing is put into the host.
  if (!hostFunctionsComplete()) return -1;
  FrameState& frame = frameState();
  // Registered once: a second registration would make the cell of the
  // previous handler hold this very handler, which would then call itself.
  if (frame.handlerRegistration == nullptr) {
    frame.handlerRegistration = hostRegisterHandler(kDocumentEventCode, &documentEventHandler);
  }
  if (installTableHooks() != 0) {
    restoreTableHooks();
    return -1;
  }
  showFirstRunNotice();
  return 0;
}
