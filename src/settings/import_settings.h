// The import options record, kept in "marketgate.ini" and edited in place by
// the settings dialog: 35 bytes, fields without gaps, in the order in which
// the dialog's input controls fill them.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct ImportSettings {
  int16_t StatusWePoz;
  int16_t StatusWyPoz;
  int16_t Identyfikacja;
  int16_t ZamowieniaCzyParagony;
  int16_t EanCzySku;
  int16_t Kontrahent;
  int16_t WpisTowar;
  char SymbolPrzesylki[17];
  int16_t NieDoklejajKwotyDoSymbPrzes;
  int16_t CoWpisacDoUwag;
};
#pragma pack(pop)

static_assert(sizeof(ImportSettings) == 35, "the options record is 35 bytes");
static_assert(offsetof(ImportSettings, SymbolPrzesylki) == 14, "the shipping symbol follows seven numbers");
static_assert(offsetof(ImportSettings, CoWpisacDoUwag) == 33, "the remarks choice is the last field");

struct MarketgateStatus;

// The position of a chosen status whose stored id the fetched list no
// longer holds: no entry of the list, shown as no choice in the dialog.
constexpr int16_t kChosenStatusGone = -1;

// Fills the object's settings from "marketgate.ini" (defaults for what is
// missing). With the object's status list fetched, the chosen statuses are
// the ones their stored ids ("StatusWe", "StatusWy") name, at their places
// in that list, or kChosenStatusGone; a file without the ids keeps its positions.
void loadSettings(MarketgateStatus& object);
// Writes the settings and the ids of the two chosen statuses to "marketgate.ini".
void saveSettings(MarketgateStatus& object);
// Loads the settings and maps `Kontrahent` to the host's code for unknown customers.
int customerModeCode(MarketgateStatus& object);

// "Opcje"/"PomijajZaimportowane": 1 (also when missing) keeps the register of
// booked orders and skips the orders in it; 0 books every order fetched.
bool keepBookedOrders();
