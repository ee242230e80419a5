// Exchange rates and current date of the host program (see rates_and_date.h).
#include "rates_and_date.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "host_profile.h"
#include "options/ini_files.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int twoDigits(const std::string& text, size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

}  // namespace

bool parseRate(const std::string& text, std::string& currency, double& rate, std::string& error) {
  size_t equals = text.find('=');
  if (equals == std::string::npos) {
    error = "needs CODE=RATE, e.g. EUR=4.2834";
    return false;
  }
  currency = text.substr(0, equals);
  std::string number = text.substr(equals + 1);
  if (currency.size() != 3 || !std::isupper(static_cast<unsigned char>(currency[0])) ||
      !std::isupper(static_cast<unsigned char>(currency[1])) ||
      !std::isupper(static_cast<unsigned char>(currency[2]))) {
    error = "the currency code must be three capital letters, e.g. EUR";
    return false;
  }
  char* end = nullptr;
  rate =
      number.empty() || std::isspace(static_cast<unsigned char>(number[0])) ? NAN : std::strtod(number.c_str(), &end);
  if (end == nullptr || *end != '\0' || !std::isfinite(rate)) {
    error = "the rate is not a number (write it with a point, e.g. 4.2834)";
    return false;
  }
  if (rate <= 0) {
    error = "the rate must be greater than 0";
    return false;
  }
  return true;
}

bool checkHostDate(const std::string& text, std::string& error) {
  error = "is no date (YY.MM.DD, e.g. 26.03.16)";
  if (text.size() != 8 || text[2] != '.' || text[5] != '.') return false;
  for (size_t at : {0, 1, 3, 4, 6, 7})
    if (!isDigit(text[at])) return false;
  int year = 2000 + twoDigits(text, 0), month = twoDigits(text, 3), day = twoDigits(text, 6);
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return false;
  bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  if (day < 1 || day > days) return false;
  error.clear();
  return true;
}

bool profileRatesAndDate(const std::string& directory, std::map<std::string, double>& rates, std::string& date,
                         std::string& error) {
  std::string path = profilePath(directory);
  for (const auto& entry : standin::iniSection(path, "ExchangeRates")) {
    std::string currency, reason;
    double rate = 0;
    if (!parseRate(entry.first + "=" + entry.second, currency, rate, reason)) {
      error = path + " [ExchangeRates] " + entry.first + "=" + entry.second + ": " + reason;
      return false;
    }
    rates[currency] = rate;
  }
  if (standin::iniRead(path, "Clock", "Date", date) && !date.empty() && !checkHostDate(date, error)) {
    error = path + " [Clock] Date=" + date + " " + error;
    return false;
  }
  return true;
}
