// The import options in "marketgate.ini": loading every field (with its
// default when the file does not hold it), the chosen statuses found by
// their stored ids, saving them with those ids, and the host's code for
// unrecognised customers.
#include <cstdlib>
#include <cstring>

#include "hostlink/host_services.h"
#include "settings/import_settings.h"
#include "settings/marketgate_status.h"
#include "settings/order_status_list.h"

namespace {

constexpr char kOptionsFile[] = "marketgate.ini";
constexpr char kStatusSection[] = "Statusy";
constexpr char kOptionSection[] = "Opcje";
constexpr char kDefaultShippingSymbol[] = "przesylka";
constexpr int kIniRead = 1;
constexpr int kIniWrite = 2;

// The host hands back at most 255 characters and a NUL for a "%s" value.
constexpr size_t kIniTextBuffer = 256;

// A number of the file, 0 when it is missing or unreadable. Read through a
// local because the record's fields are not all aligned.
int16_t loadNumber(const char* section, const char* key) {
  int16_t value = 0;
  if (iniFileValue(kOptionsFile, kIniRead, section, key, "%d", &value) != 0) return 0;
  return value;
}

void loadShippingSymbol(ImportSettings& settings) {
  char text[kIniTextBuffer] = {};
  const char* symbol = kDefaultShippingSymbol;
  if (iniFileValue(kOptionsFile, kIniRead, kOptionSection, "SymbolPrzesylki", "%s", text) == 0) {
    text[sizeof text - 1] = '\0';
    symbol = text;
  }
  hostBoundedCopy(settings.SymbolPrzesylki, symbol, sizeof settings.SymbolPrzesylki - 1);
}

void saveNumber(const char* section, const char* key, int32_t value) {
  iniFileValue(kOptionsFile, kIniWrite, section, key, "%d", value);
}

// The id of the status at a position; 0 for a position the list does not hold.
int32_t statusIdAt(const OrderStatusList& list, int position) {
  const OrderStatus* status = statusAt(list, position);
  return status != nullptr ? status->id : 0;
}

// The stored id of a chosen status; false when the file holds none that
// reads as a whole number (a file written by hand, or by an older version).
bool loadStatusId(const char* key, int32_t& id) {
  char text[kIniTextBuffer] = {};
  if (iniFileValue(kOptionsFile, kIniRead, kStatusSection, key, "%s", text) != 0) return false;
  text[sizeof text - 1] = '\0';
  char* end = nullptr;
  long long value = std::strtoll(text, &end, 10);
  while (end != nullptr && (*end == ' ' || *end == '\t')) ++end;
  if (end == text || end == nullptr || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
  id = static_cast<int32_t>(value);
  return true;
}

// The position of the status a stored id names in the fetched list, or
// kChosenStatusGone when the list no longer holds it; the stored position stays
// when the file names no id or no list was fetched.
void placeChosenStatus(const OrderStatusList& list, const char* idKey, int16_t& position) {
  int32_t id = 0;
  if (list.count <= 0 || !loadStatusId(idKey, id)) return;
  for (int32_t i = 0; i < list.count && i <= INT16_MAX; ++i) {
    if (list.statuses[i].id == id) {
      position = static_cast<int16_t>(i);
      return;
    }
  }
  position = kChosenStatusGone;
}

}  // namespace

void loadSettings(MarketgateStatus& object) {
  ImportSettings& s = object.settings;
  s.StatusWePoz = loadNumber(kStatusSection, "StatusWePoz");
  s.StatusWyPoz = loadNumber(kStatusSection, "StatusWyPoz");
  int16_t incoming = s.StatusWePoz;
  int16_t outgoing = s.StatusWyPoz;
  placeChosenStatus(object.statusList, "StatusWe", incoming);
  placeChosenStatus(object.statusList, "StatusWy", outgoing);
  s.StatusWePoz = incoming;
  s.StatusWyPoz = outgoing;
  s.Identyfikacja = loadNumber(kOptionSection, "Identyfikacja");
  s.ZamowieniaCzyParagony = loadNumber(kOptionSection, "ZamowieniaCzyParagony");
  s.EanCzySku = loadNumber(kOptionSection, "EanCzySku");
  s.Kontrahent = loadNumber(kOptionSection, "Kontrahent");
  s.WpisTowar = loadNumber(kOptionSection, "WpisTowar");
  loadShippingSymbol(s);
  s.NieDoklejajKwotyDoSymbPrzes = loadNumber(kOptionSection, "NieDoklejajKwotyDoSymbPrzes");
  s.CoWpisacDoUwag = loadNumber(kOptionSection, "CoWpisacDoUwag");
}

void saveSettings(MarketgateStatus& object) {
  const ImportSettings& s = object.settings;
  saveNumber(kStatusSection, "StatusWePoz", s.StatusWePoz);
  saveNumber(kStatusSection, "StatusWe", statusIdAt(object.statusList, s.StatusWePoz));
  saveNumber(kStatusSection, "StatusWyPoz", s.StatusWyPoz);
  saveNumber(kStatusSection, "StatusWy", statusIdAt(object.statusList, s.StatusWyPoz));
  saveNumber(kOptionSection, "Identyfikacja", s.Identyfikacja);
  saveNumber(kOptionSection, "ZamowieniaCzyParagony", s.ZamowieniaCzyParagony);
  saveNumber(kOptionSection, "EanCzySku", s.EanCzySku);
  saveNumber(kOptionSection, "Kontrahent", s.Kontrahent);
  saveNumber(kOptionSection, "WpisTowar", s.WpisTowar);
  // The dialog edits the field in place; write it as a terminated text.
  char symbol[sizeof s.SymbolPrzesylki];
  std::memcpy(symbol, s.SymbolPrzesylki, sizeof symbol);
  symbol[sizeof symbol - 1] = '\0';
  iniFileValue(kOptionsFile, kIniWrite, kOptionSection, "SymbolPrzesylki", "%s", symbol);
  saveNumber(kOptionSection, "NieDoklejajKwotyDoSymbPrzes", s.NieDoklejajKwotyDoSymbPrzes);
  saveNumber(kOptionSection, "CoWpisacDoUwag", s.CoWpisacDoUwag);
}

int customerModeCode(MarketgateStatus& object) {
  loadSettings(object);
  switch (object.settings.Kontrahent) {
    case 1:
      return 1;
    case 2:
      return 2;
    case 3:
      return 5;
    default:
      return 0;
  }
}

bool keepBookedOrders() {
  int16_t value = 1;
  if (iniFileValue(kOptionsFile, kIniRead, kOptionSection, "PomijajZaimportowane", "%d", &value) != 0) return true;
  return value != 0;
}
