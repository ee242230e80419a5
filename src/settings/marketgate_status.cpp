// Construction and destruction of the settings dialog object (see
// marketgate_status.h): the host builds and destroys the base part, the
// object owns its status array in host memory.
#include "settings/marketgate_status.h"

#include <cstring>

#include "hostlink/host_services.h"
#include "settings/dialog_operations.h"

namespace {

void clearSettings(MarketgateStatus& object) { std::memset(&object.settings, 0, sizeof object.settings); }

void releaseStatusList(OrderStatusList& list) {
  list.count = 0;
  list.capacity = 0;
  if (list.statuses != nullptr) {
    hostRelease(list.statuses);
    list.statuses = nullptr;
  }
}

}  // namespace

void constructMarketgateStatus(MarketgateStatus& object) {
  hostDialogBaseConstruct(&object);
  object.virtualOperations = marketgateStatusOperations();
  clearSettings(object);
  object.statusList.statuses = nullptr;
  object.statusList.count = 0;
  object.statusList.capacity = 0;
  object.itemText[0] = '\0';
}

void destroyMarketgateStatus(MarketgateStatus& object) {
  object.virtualOperations = marketgateStatusOperations();
  releaseStatusList(object.statusList);
  clearSettings(object);
  hostDialogBaseDestroy(&object);
}

void* MG_THISCALL marketgateStatusDestructor(MarketgateStatus* object, uint32_t flags) {
  destroyMarketgateStatus(*object);
  if ((flags & 1) != 0) hostRelease(object);
  return object;
}
