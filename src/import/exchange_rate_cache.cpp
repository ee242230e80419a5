// The exchange rate of an order: 1.0 for the home currency, else the host's
// rate for the current date, remembered for the next order of the page in
// the same currency.
#include <cstring>

#include "hostlink/host_services.h"
#include "import/order_document.h"

void emptyRateCache(RateCache& cache) {
  cache.date[0] = '\0';
  cache.currency[0] = '\0';
  cache.rate = 0.0;
}

double orderRate(PageContext& page, const char* currency) {
  if (currency[0] == '\0' || std::strcmp(currency, "PLN") == 0) return 1.0;
  RateCache& cache = page.rates;
  if (hostDateDifference(page.currentDate, cache.date) == 0 && std::strcmp(currency, cache.currency) == 0) {
    return cache.rate;
  }
  double rate = hostExchangeRate(page.currentDate, currency);
  if (rate == 0.0) rate = 1.0;
  hostBoundedCopy(cache.date, page.currentDate, sizeof cache.date - 1);
  hostBoundedCopy(cache.currency, currency, sizeof cache.currency - 1);
  cache.rate = rate;
  return rate;
}
