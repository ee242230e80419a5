// Running the settings dialog through the host's dialog engine: load the
// options, show them (unless the host runs without dialogs) and save them
// when the user imports with F12.
#include <cstring>

#include "hostlink/host_services.h"
#include "settings/dialog_description.h"
#include "settings/import_settings.h"
#include "settings/marketgate_status.h"

namespace {

// The value the host's auxiliary dialog object gives through the second
// operation of its table.
int32_t auxiliaryValue(host_abi::HostObjectStorage& aux) {
  void* const* operations = *reinterpret_cast<void* const* const*>(aux.bytes);
  auto value = reinterpret_cast<host_abi::AuxDialogValueFn>(operations[1]);
  return value(&aux);
}

// Builds one auxiliary object; false when the host built none.
bool buildAuxiliary(host_abi::HostObjectStorage& aux, MarketgateStatus& object) {
  std::memset(&aux, 0, sizeof aux);
  return hostAuxDialogConstruct(&aux, &object) != nullptr;
}

bool hasOperations(const host_abi::HostObjectStorage& aux) {
  return *reinterpret_cast<void* const*>(aux.bytes) != nullptr;
}

}  // namespace

int runDialog(MarketgateStatus& object) {
  loadSettings(object);
  if (hostQuietMode()) return host_abi::kDialogConfirmed;

  host_abi::HostObjectStorage first, second;
  bool firstBuilt = buildAuxiliary(first, object);
  bool secondBuilt = firstBuilt && buildAuxiliary(second, object);
  // Without both auxiliary objects the dialog cannot run: nothing is saved
  // and the caller abandons the import as after a cancel.
  int16_t result = host_abi::kDialogCancelled;
  if (secondBuilt && hasOperations(first) && hasOperations(second)) {
    int32_t firstValue = auxiliaryValue(first);
    int32_t secondValue = auxiliaryValue(second);
    result = hostRunDialog(&object, settingsDialogDescription(), &object.settings, secondValue, firstValue);
  }
  if (secondBuilt) hostAuxDialogDestroy(&second);
  if (firstBuilt) hostAuxDialogDestroy(&first);

  if (result == host_abi::kDialogConfirmed) saveSettings(object);
  return result;
}
