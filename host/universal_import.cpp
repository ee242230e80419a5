// The host's universal import and what the import needs around it: current
// date, date difference, exchange rates, stored import configurations and
// the call made after an import.
#include "host_exports.h"

using standin::recordCall;

MG_EXPORT const char* MG_STDCALL ordinal_30204() {
  recordCall(30204);
  return "26.12.08";
}

MG_EXPORT int32_t MG_STDCALL ordinal_30908(const char* first, const char* second) {
  recordCall(30908);
  return std::string(first ? first : "") == std::string(second ? second : "") ? 0 : 1;
}

MG_EXPORT double MG_STDCALL ordinal_51774(const char*, const char* currency, int32_t, int32_t, int32_t) {
  recordCall(51774, currency ? currency : "");
  return 0.0;
}

MG_EXPORT int32_t MG_STDCALL ordinal_52615(void*, const char* name) {
  recordCall(52615, name ? name : "");
  return 0;
}

MG_EXPORT int32_t MG_STDCALL ordinal_52527(void*, const char* name) {
  recordCall(52527, name ? name : "");
  return 0;
}

MG_EXPORT int32_t MG_STDCALL ordinal_52401(int32_t quiet, const char* configName, uint32_t mask, int32_t, int32_t,
                                           int32_t, int32_t) {
  recordCall(52401, std::to_string(quiet) + " " + (configName ? configName : "") + " " + std::to_string(mask));
  return 0;
}

MG_EXPORT int32_t MG_STDCALL ordinal_34699(int32_t code) {
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
