// The host's universal import and what the import needs around it: current
// date, date difference, exchange rates, stored import configurations, the
// import itself into the document store, and the call made after an import.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "text/codepages.h"
#include "import/document_store.h"
#include "core/host_exports.h"
#include "import/import_configs.h"
#include "control/import_control.h"
#include "import/import_file_reader.h"
#include "import/imported_copies.h"
#include "control/table_control.h"

using standin::recordCall;
using standin::state;

namespace standin {

void setCurrentDate(const std::string& date) { state().currentDate = date; }
void setExchangeRate(const std::string& currency, double rate) { state().exchangeRates[currency] = rate; }
void setUniversalImportFails(bool fails) { state().universalImportFails = fails; }
const std::vector<int32_t>& universalImportResults() { return state().universalImportResults; }

}  // namespace standin

namespace {

// Days since 2000-01-01 of a "YY.MM.DD" text (years 2000 to 2099); false
// when the text is not such a date.
bool dayNumber(const char* text, long& days) {
  if (text == nullptr) return false;
  int year = 0, month = 0, day = 0;
  char end = 0;
  if (std::sscanf(text, "%2d.%2d.%2d%c", &year, &month, &day, &end) != 3) return false;
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  year += 2000;
  // Days from the civil date (proleptic Gregorian), shifted to 2000-01-01.
  int y = month <= 2 ? year - 1 : year;
  long era = y / 400;
  long yearOfEra = y - era * 400;
  long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  days = era * 146097 + dayOfEra - 730425;
  return true;
}

std::string& currentDateText() {
  static std::string text;
  return text;
}

std::string baseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void showImportMessage(const std::string& utf8Text) {
  standin::recordMessage("message", "", standin::utf8ToMazovia(utf8Text));
}

// Reads, checks and stores the file named in the configuration; the number
// of documents stored, or -1.
int32_t importConfiguredFile(const char* configName) {
  unsigned char record[host_abi::kUniversalImportConfigSize] = {};
  if (!standin::loadImportConfigRecord(configName != nullptr ? configName : "", record, sizeof record)) {
    showImportMessage(std::string("Import uniwersalny: brak konfiguracji ") + (configName ? configName : ""));
    return -1;
  }
  std::string path = standin::importConfigFileName(record);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    showImportMessage("Import uniwersalny: nie można otworzyć pliku " + path);
    return -1;
  }
  standin::keepImportedCopy(baseName(path), path);
  standin::DocumentStoreWriter store;
  standin::ImportFileCheck check =
      standin::readImportFile(in, [&store](const standin::ImportDocument& document) { return store.add(document); });
  if (!check.ok && check.errorLine != 0) {
    showImportMessage("Import uniwersalny: błąd w wierszu " + std::to_string(check.errorLine) + " pliku " +
                      baseName(path) + ": " + check.error + ". Plik nie został zaimportowany.");
    return -1;
  }
  if (!check.ok || !store.commit()) {
    showImportMessage("Import uniwersalny: zapis dokumentów nie powiódł się: " + store.error());
    return -1;
  }
  const standin::ImportSummary& summary = store.summary();
  // Each document is also a row of the "Tspr" list, which carries the
  // service's order number, so that handling it later moves its order on.
  for (const std::string& orderNumber : summary.orderNumbers) {
    standin::addTableRecord(standin::kListTableNumber, orderNumber);
  }
  return summary.documents;
}

}  // namespace

STANDIN_EXPORT const char* MG_STDCALL ordinal_30204() {
  recordCall(30204);
  std::string& text = currentDateText();
  text = state().currentDate;
  if (text.empty()) {
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char date[48];
    std::snprintf(date, sizeof date, "%02d.%02d.%02d", local->tm_year % 100, local->tm_mon + 1, local->tm_mday);
    text = date;
  }
  return text.c_str();
}

// Days from the second date to the first; 0 for the same day. A text that
// is no date compares equal only to the same text.
STANDIN_EXPORT int32_t MG_STDCALL ordinal_30908(const char* first, const char* second) {
  recordCall(30908, std::string(first ? first : "") + " " + (second ? second : ""));
  long firstDay = 0, secondDay = 0;
  if (dayNumber(first, firstDay) && dayNumber(second, secondDay)) return static_cast<int32_t>(firstDay - secondDay);
  return std::string(first ? first : "") == std::string(second ? second : "") ? 0 : INT32_MAX;
}

STANDIN_EXPORT double MG_STDCALL ordinal_51774(const char* date, const char* currency, int32_t, int32_t, int32_t) {
  recordCall(51774, std::string(currency ? currency : "") + " " + (date ? date : ""));
  auto found = state().exchangeRates.find(currency ? currency : "");
  return found != state().exchangeRates.end() ? found->second : 0.0;
}

// Loads the named configuration into the record: 0, or -1 (record
// untouched) when none is stored.
STANDIN_EXPORT int32_t MG_STDCALL ordinal_52615(void* record, const char* name) {
  recordCall(52615, name ? name : "");
  bool found = standin::loadImportConfigRecord(name ? name : "", record, host_abi::kUniversalImportConfigSize);
  return found ? 0 : -1;
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_52527(void* record, const char* name) {
  recordCall(52527, name ? name : "");
  bool saved = standin::saveImportConfigRecord(name ? name : "", record, host_abi::kUniversalImportConfigSize);
  return saved ? 0 : -1;
}

// Runs the universal import of the configuration's file: the number of
// documents imported, or -1 when nothing was.
STANDIN_EXPORT int32_t MG_STDCALL ordinal_52401(int32_t quiet, const char* configName, uint32_t mask, int32_t, int32_t,
                                                int32_t, int32_t) {
  recordCall(52401, std::to_string(quiet) + " " + (configName ? configName : "") + " " + std::to_string(mask));
  int32_t imported = -1;
  if (state().universalImportFails) {
    showImportMessage("Import uniwersalny: import nie powiódł się, nic nie zaimportowano.");
  } else {
    imported = importConfiguredFile(configName);
  }
  state().universalImportResults.push_back(imported);
  if (imported >= 0 && quiet == 0) {
    showImportMessage("Import uniwersalny: zaimportowano dokumentów: " + std::to_string(imported));
  }
  return imported;
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_34699(int32_t code) {
  recordCall(34699, std::to_string(code));
  return 0;
}

STANDIN_CHECK_SIGNATURE(30204, CurrentDateFn);
STANDIN_CHECK_SIGNATURE(30908, DateDifferenceFn);
STANDIN_CHECK_SIGNATURE(51774, ExchangeRateFn);
STANDIN_CHECK_SIGNATURE(52615, ImportConfigFn);
STANDIN_CHECK_SIGNATURE(52527, ImportConfigFn);
STANDIN_CHECK_SIGNATURE(52401, RunUniversalImportFn);
STANDIN_CHECK_SIGNATURE(34699, AfterImportFn);
