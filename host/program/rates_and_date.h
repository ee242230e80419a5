// The host's exchange rates and its current date as the user gives them to
// tomiks (profile tomiks.ini, --rate, --date): read and checked, so that a
// bad value stops the program before anything runs.
#pragma once

#include <map>
#include <string>

// "EUR=4.2834": a three-letter currency code and a rate greater than 0.
// False with the reason (to follow what was given) when it is not.
bool parseRate(const std::string& text, std::string& currency, double& rate, std::string& error);

// "YY.MM.DD" naming a day of 2000-2099; false with the reason when it does not.
bool checkHostDate(const std::string& text, std::string& error);

// The rates of section [ExchangeRates] and the date [Clock] Date of the
// profile in directory; false with the reason (naming the file) at a bad value.
bool profileRatesAndDate(const std::string& directory, std::map<std::string, double>& rates, std::string& date,
                         std::string& error);
