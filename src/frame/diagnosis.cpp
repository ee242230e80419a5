// The compatibility diagnosis (see diagnosis.h). Its texts are Mazovia
// bytes; \x01 and \x02 are the host display's layout and highlight marks.
#include "frame/diagnosis.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "frame/bounded_format.h"
#include "frame/feature_check.h"
#include "frame/frame_state.h"
#include "hostlink/host_binding.h"
#include "hostlink/host_services.h"
#include "frame/plugin_identity.h"
#include "frame/stop_message.h"
#include "frame/table_hooks.h"

namespace {

constexpr char kPlainText[] = "%s";

constexpr char kFeaturesText[] =
    "Program nie obs\x92uguje cech 0x%08X,\nkt\xA2re s\x86 niezb\x91"
    "dne dla modu\x92u '%s'.";

constexpr char kOneOrdinal[] = "funkcj\x91 o numerze %hu";
constexpr char kManyOrdinals[] = "funkcje o numerach";
constexpr char kOrdinalItem[] = " %hu,";
constexpr char kMissingFunctionsText[] =
    "Wtyczka \"%s\" potrzebuje zaimportowa\x8D\n%s z modu\x92u g\x92\xA2wnego,\n"
    "jednak modu\x92 g\x92\xA2wny %s nie posiada. Aby naprawi\x8D t\x91 sytuacj\x91\n"
    "zainstaluj aktualizacj\x91 programu oraz wtyczki.\n\n"
    "WTYCZKA NIE ZOSTANIE ZA\x9C"
    "ADOWANA!!!\n";

constexpr char kSizesHead[] =
    "Rozmiary rekord\xA2w niekt\xA2rych tabel nie zgadzaj\x86 si\x91\n"
    "mi\x91"
    "dzy programem a wtyczk\x86 '%s' (modu\x92 '%s'):\n\n"
    "\x01tl18l33\x01TABELA\tWE WTYCZCE\tW PROGRAMIE\n";
constexpr char kSizesRow[] = "\x01tp25p40\x01%s\t%d\t%s\n";
constexpr char kSizesTail[] =
    "\nModu\x92 \x02%s\x01\nNIE zostanie za\x92"
    "adowany!";
constexpr char kNoTable[] = "brak";

constexpr char kVersionsText[] =
    "Modu\x92 \"%s\" i program wyst\x91puj\x86 w r\xA2\xA7nych wersjach!\n\n"
    "Zosta\x92 zakualizowany tylko program albo tylko modu\x92,\n"
    "a nie oba jednocze\x9Enie! Aby naprawi\x8D t\x91 sytuacj\x91\n"
    "zainstaluj aktualizacj\x91 programu wraz z modu\x92"
    "em \"%s\".\n\n"
    "MODU\x9C NIE ZOSTANIE ZA\x9C"
    "ADOWANY!!!\n";

constexpr char kNotInitialisedText[] =
    "Modu\x92 \"%s\" nie zosta\x92 poprawnie zainicjowany,\nwi\x91"
    "c NIE B\x90"
    "DZIE AKTYWNY!";

const char* baseName() {
  const char* name = frameState().moduleBaseName;
  return name != nullptr ? name : "";
}

// "funkcję o numerze N" or "funkcje o numerach A, B, C" (ascending).
void composeOrdinalList(char* list, size_t capacity, const MissingFunctionList& missing) {
  if (missing.count == 1) {
    boundedFormat(list, capacity, kOneOrdinal, missing.ordinals[0]);
    return;
  }
  uint16_t ordinals[8];
  size_t stored = std::min<size_t>(missing.count, 8);
  std::copy(missing.ordinals, missing.ordinals + stored, ordinals);
  std::sort(ordinals, ordinals + stored, std::greater<uint16_t>());
  TextComposer text = startText(list, capacity);
  appendText(text, "%s", kManyOrdinals);
  for (size_t i = stored; i-- > 0;) appendText(text, kOrdinalItem, ordinals[i]);
  // The final comma goes; a list cut short keeps what it has.
  if (!text.cut && text.length > 0 && list[text.length - 1] == ',') list[--text.length] = '\0';
}

}  // namespace

int checkFeatures(char* text, size_t capacity) {
  text[0] = '\0';
  if (frameState().featureFunction == nullptr) return 0;
  // A host that never ran the load check was never asked for the plug-in's
  // own features; ask now, or the untouched mask would blame them all.
  if (frameState().missingFeatureMask == kAllFeatures) checkHostFeatures(kRequiredFeatures);
  uint32_t mask = checkHostFeatures(kAllFeatures);
  if (mask == 0) return 0;
  boundedFormat(text, capacity, kFeaturesText, mask, kDisplayName);
  return 1;
}

int checkMissingFunctions(char* text, size_t capacity) {
  text[0] = '\0';
  const MissingFunctionList& missing = missingHostFunctions();
  if (missing.count == 0) return 0;
  char list[kOrdinalListCapacity];
  composeOrdinalList(list, sizeof list, missing);
  boundedFormat(text, capacity, kMissingFunctionsText, kDisplayName, list, missing.count == 1 ? "jej" : "ich");
  return static_cast<int>(missing.count);
}

int checkRecordSizes(char* text, size_t capacity) {
  text[0] = '\0';
  const SizeMismatch* record = sizeMismatchList();
  if (record == nullptr) return 0;
  TextComposer composer = startText(text, capacity);
  appendText(composer, kSizesHead, kDisplayName, baseName());
  for (; record != nullptr; record = record->next) {
    char actual[101];
    if (record->actual == 0) {
      boundedFormat(actual, sizeof actual, kPlainText, kNoTable);
    } else {
      boundedFormat(actual, sizeof actual, "%d", static_cast<int>(record->actual));
    }
    appendText(composer, kSizesRow, record->tableName, static_cast<int>(record->expected), actual);
  }
  appendText(composer, kSizesTail, baseName());
  return -1;
}

int checkHostVerification(char* text, size_t capacity) {
  text[0] = '\0';
  int32_t refused = hostVerifyModule(frameState().ownModule, text, static_cast<int32_t>(capacity));
  text[capacity - 1] = '\0';
  return refused;
}

bool versionsAgree() {
  if (hostVerifyModule(frameState().ownModule, nullptr, 0) != 0) return false;
  if (hostInterfaceLevel() != kInterfaceLevel) return false;
  return checkTableSizes() == 0;
}

void diagnose() {
  char text[kDiagnosisCapacity];
  using Check = int (*)(char*, size_t);
  for (Check check : {&checkFeatures, &checkMissingFunctions, &checkRecordSizes, &checkHostVerification}) {
    if (check(text, sizeof text) != 0) {
      showStopMessage(HeldText{kPlainText}, text);
      return;
    }
  }
  if (!versionsAgree()) {
    showStopMessage(HeldText{kVersionsText}, baseName(), baseName());
    return;
  }
  showStopMessage(HeldText{kNotInitialisedText}, baseName());
}
