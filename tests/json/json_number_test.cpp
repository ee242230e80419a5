// Numbers: the text is what strtod consumes from the first byte, refused
// when it starts with "0" or "-0" not followed by "." or holds an "x", and
// the value is the double strtod gives, bit for bit, also for texts that
// the reader converts itself.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "control/host_control.h"

#include "json/json.h"
#include "json/json_dump.h"
#include "json/json_number.h"
#include "json/rule_reader.h"
#include "support/host_fixture.h"

namespace {

uint64_t bitsOf(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double libraryValue(const char* text) { return std::strtod(text, nullptr); }

class JsonNumberTest : public HostFixture {
 protected:
  // Parses "[text]"; true and the element's value when it is one number.
  bool parseOne(const std::string& text, double* value) {
    JsonValue* root = jsonParse(("[" + text + "]").c_str());
    if (root == nullptr) return false;
    bool one = root->array->count == 1 && root->array->items[0]->type == JSON_NUMBER;
    if (one) *value = root->array->items[0]->number;
    jsonFree(root);
    return one;
  }

  // The element must parse to exactly the bits strtod gives for `text`.
  void expectLibraryBits(const std::string& text) {
    double value = 0;
    ASSERT_TRUE(parseOne(text, &value)) << text;
    EXPECT_EQ(bitsOf(value), bitsOf(libraryValue(text.c_str()))) << text;
  }
};

TEST_F(JsonNumberTest, LeadingZeroAndHexRules) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"[0]", "[n:0]"},       {"[-0]", "[n:-0]"},     {"[0.5]", "[n:0.5]"},
      {"[-0.5]", "[n:-0.5]"}, {"[1e3]", "[n:1000]"},  {"[1.5E-2]", "[n:0.014999999999999999]"},
      {"[0.]", "[n:0]"},      {"[-0.]", "[n:-0]"},    {"[0.e1]", "[n:0]"},
      {"[10]", "[n:10]"},     {"[100e-2]", "[n:1]"},  {"[-10]", "[n:-10]"},
      {"[01]", "REFUSED"},    {"[-01]", "REFUSED"},   {"[00]", "REFUSED"},
      {"[-00]", "REFUSED"},   {"[0e1]", "REFUSED"},   {"[0E1]", "REFUSED"},
      {"[-0e1]", "REFUSED"},  {"[0x10]", "REFUSED"},  {"[0X10]", "REFUSED"},
      {"[-0x1]", "REFUSED"},  {"[0x1p3]", "REFUSED"}, {"[-0x]", "REFUSED"},
      {"[0x]", "REFUSED"},    {"[1x]", "REFUSED"},    {"[1e5x]", "REFUSED"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseToCanonical(c.text), c.expected) << c.text;
    EXPECT_EQ(ruleReaderCanonical(c.text), c.expected) << c.text << " (rule reader)";
  }
}

TEST_F(JsonNumberTest, TextIsWhatStrtodConsumes) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"[-]", "REFUSED"},          {"[- 1]", "REFUSED"},
      {"[--1]", "REFUSED"},        {"[-+1]", "REFUSED"},
      {"[+1]", "REFUSED"},         {"[-.5]", "[n:-0.5]"},
      {"[.5]", "REFUSED"},         {"[-.]", "REFUSED"},
      {"[-.e1]", "REFUSED"},       {"[1.]", "[n:1]"},
      {"[1.e2]", "[n:100]"},       {"[1e]", "REFUSED"},
      {"[1e+]", "REFUSED"},        {"[1e-]", "REFUSED"},
      {"[1E+2]", "[n:100]"},       {"[1.5.]", "REFUSED"},
      {"[inf]", "REFUSED"},        {"[nan]", "REFUSED"},
      {"[-inf]", "[n:-inf]"},      {"[-INF]", "[n:-inf]"},
      {"[-infinity]", "[n:-inf]"}, {"[-Infinity]", "[n:-inf]"},
      {"[-infinit]", "REFUSED"},   {"[-nan]", "[n:-nan]"},
      {"[-NaN]", "[n:-nan]"},      {"[-nan(1x)]", "REFUSED"},
      {"[-in]", "REFUSED"},        {"[1.5e308]", "[n:1.5e+308]"},
      {"[1e309]", "[n:inf]"},      {"[-1e309]", "[n:-inf]"},
      {"[1e-400]", "[n:0]"},       {"[-1e-400]", "[n:-0]"},
      {"{\"a\":-}", "REFUSED"},    {"{\"a\":-,\"b\":1}", "REFUSED"},
      {"[1 ,2]", "[n:1,n:2]"},     {"[1\t]", "[n:1]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseToCanonical(c.text), c.expected) << c.text;
    EXPECT_EQ(ruleReaderCanonical(c.text), c.expected) << c.text << " (rule reader)";
  }
  double value = 0;
  ASSERT_TRUE(parseOne("-nan(abc_1)", &value));
  EXPECT_TRUE(std::isnan(value));
}

TEST_F(JsonNumberTest, SubnormalsAndLimitsMatchStrtod) {
  const char* texts[] = {
      "4.9406564584124654e-324",
      "5e-324",
      "2.4703282292062327e-324",
      "2.4703282292062328e-324",
      "2.2250738585072009e-308",
      "2.2250738585072011e-308",
      "2.2250738585072014e-308",
      "1.7976931348623157e308",
      "1.7976931348623158e308",
      "1.7976931348623159e308",
      "-4.9406564584124654e-324",
      "1e-320",
      "123e-330",
      "0.000000000000000000000000000001e-300",
  };
  for (const char* text : texts) expectLibraryBits(text);
  double value = 0;
  ASSERT_TRUE(parseOne("5e-324", &value));
  EXPECT_EQ(bitsOf(value), 1u);
  ASSERT_TRUE(parseOne("2.4703282292062327e-324", &value));
  EXPECT_EQ(bitsOf(value), 0u) << "half the smallest subnormal rounds to even";
  ASSERT_TRUE(parseOne("1.7976931348623159e308", &value));
  EXPECT_TRUE(std::isinf(value));
}

TEST_F(JsonNumberTest, ManySignificantDigitsAndHalfwayCases) {
  const char* texts[] = {
      "0.1000000000000000055511151231257827",
      "9007199254740992",
      "9007199254740993",
      "9007199254740993.0000000000000001",
      "9007199254740995",
      "18014398509481985",
      "1234567890123456789",
      "12345678901234567890123456789012345678901234567890",
      "1.00000000000000011102230246251565404236316680908203125",
      "1.000000000000000111022302462515654042363166809082031251",
      "1.00000000000000011102230246251565404236316680908203124",
      "0.30000000000000001665",
      "3.141592653589793238462643383279502884197",
      "1e22",
      "1e23",
      "9e37",
      "1e38",
      "123456789e-20",
      "4503599627370496.5",
      "4503599627370497.5",
      "7.2057594037927933e16",
      "000000000000000000000001",  // refused as a whole, checked below
  };
  for (const char* text : texts) {
    if (text[0] == '0' && text[1] != '.') continue;
    expectLibraryBits(text);
    expectLibraryBits(std::string("-") + text);
  }
  double value = 0;
  EXPECT_FALSE(parseOne("000000000000000000000001", &value));
  ASSERT_TRUE(parseOne("9007199254740993", &value));
  EXPECT_EQ(value, 9007199254740992.0) << "ties to even";
  ASSERT_TRUE(parseOne("9007199254740993.0000000000000001", &value));
  EXPECT_EQ(value, 9007199254740994.0) << "just above the tie";
}

// Every finite double printed with 17 significant digits reads back to the
// same bits; shorter prints read back to strtod's bits.
TEST_F(JsonNumberTest, RandomDoublesRoundTripBitForBit) {
  std::mt19937_64 random(20251208);
  for (int i = 0; i < 60000; ++i) {
    uint64_t bits = random();
    double original;
    std::memcpy(&original, &bits, sizeof original);
    if (!std::isfinite(original)) continue;
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", original);
    double value = 0;
    ASSERT_TRUE(parseOne(text, &value)) << text;
    ASSERT_EQ(bitsOf(value), bits) << text;
    std::snprintf(text, sizeof text, "%.*g", 1 + int(i % 16), original);
    ASSERT_TRUE(parseOne(text, &value)) << text;
    ASSERT_EQ(bitsOf(value), bitsOf(libraryValue(text))) << text;
  }
}

// Prices, quantities and small exponents: the texts that the reader
// converts without the library.
TEST_F(JsonNumberTest, RandomShortDecimalsMatchStrtod) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 60000; ++i) {
    uint64_t mantissa = random() % 100000000000000000ull >> (random() % 56);
    int fraction = int(random() % 20);
    int exponent = int(random() % 90) - 45;
    std::string digits = std::to_string(mantissa);
    std::string text = digits;
    if (fraction > 0 && fraction < int(digits.size())) text.insert(digits.size() - fraction, ".");
    if (i % 3 != 0) text += (i % 2 ? "e" : "E") + std::to_string(exponent);
    if (text.size() > 1 && text[0] == '0' && text[1] != '.') continue;  // refused, see above
    if (i % 5 == 0) text = "-" + text;
    double value = 0;
    ASSERT_TRUE(parseOne(text, &value)) << text;
    ASSERT_EQ(bitsOf(value), bitsOf(libraryValue(text.c_str()))) << text;
  }
}

// The converter against strtod on random texts of number-like bytes: the
// same consumed length and the same bits (any NaN counts as a NaN of the
// same sign).
TEST_F(JsonNumberTest, ConverterConsumesAndConvertsLikeStrtod) {
  static const char kBytes[] = "0123456789000..eE+-xXpPiInNfFaAtTyY()_ ";
  static const char kFirst[] = "-+0123456789.";
  std::mt19937 random(99);
  for (int i = 0; i < 200000; ++i) {
    std::string text(1, kFirst[random() % (sizeof kFirst - 1)]);
    int length = int(random() % 14);
    for (int k = 0; k < length; ++k) text += kBytes[random() % (sizeof kBytes - 1)];
    char* libraryEnd = nullptr;
    double expected = std::strtod(text.c_str(), &libraryEnd);
    double value = 12345;
    const char* end = convertNumberText(text.c_str(), &value);
    ASSERT_EQ(end, libraryEnd) << "consumed length differs for \"" << text << "\"";
    // Nothing consumed: the parse fails there, whatever value came with it.
    if (end == text.c_str()) continue;
    if (std::isnan(expected)) {
      ASSERT_TRUE(std::isnan(value)) << text;
      ASSERT_EQ(std::signbit(value), std::signbit(expected)) << text;
    } else {
      ASSERT_EQ(bitsOf(value), bitsOf(expected)) << text;
    }
  }
}

// The same random texts inside an array: the reader and the rule reader
// give the same tree or both refuse.
TEST_F(JsonNumberTest, RandomNumberTextsInArraysFollowTheRules) {
  static const char kBytes[] = "0123456789000..eE+-xXiInNfaty ";
  std::mt19937 random(4242);
  for (int i = 0; i < 50000; ++i) {
    std::string text = "[";
    int length = 1 + int(random() % 10);
    for (int k = 0; k < length; ++k) text += kBytes[random() % (sizeof kBytes - 1)];
    text += random() % 4 == 0 ? ",1]" : "]";
    ASSERT_EQ(parseToCanonical(text), ruleReaderCanonical(text.c_str())) << text;
  }
}

// A process locale whose decimal point is a comma: an installed one, or
// one compiled into `directory` where the system can compile locales.
bool chooseDecimalCommaLocale([[maybe_unused]] const std::string& directory) {
  const char* installed[] = {"pl_PL.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "pl_PL", "de_DE", "Polish"};
  for (const char* name : installed) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr && std::localeconv()->decimal_point[0] == ',') return true;
  }
#ifndef _WIN32
  std::string command = "localedef -i pl_PL -f UTF-8 '" + directory + "/pl_PL.UTF-8' > /dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return false;
  setenv("LOCPATH", directory.c_str(), 1);
  if (std::setlocale(LC_NUMERIC, "pl_PL.UTF-8") != nullptr && std::localeconv()->decimal_point[0] == ',') return true;
#endif
  return false;
}

void restoreCLocale() {
  std::setlocale(LC_NUMERIC, "C");
#ifndef _WIN32
  unsetenv("LOCPATH");
#endif
}

// The decimal point is a full stop whatever the process locale says, also
// for the texts that go to the C library, long ones included.
TEST_F(JsonNumberTest, LocaleWithDecimalCommaChangesNothing) {
  std::string longNumber = "3." + std::string(300, '1') + "e-5";
  const char* texts[] = {"0.5", "1.25e2", "3.14159265358979323846264338327950288", "-1.5e-310",
                         "7.2057594037927933e16"};
  std::vector<double> expected;
  for (const char* text : texts) expected.push_back(libraryValue(text));
  const double longExpected = libraryValue(longNumber.c_str());
  if (!chooseDecimalCommaLocale(workDir.path())) {
    restoreCLocale();
    GTEST_SKIP() << "no locale with a decimal comma available";
  }
  for (size_t i = 0; i < expected.size(); ++i) {
    double value = 0;
    EXPECT_TRUE(parseOne(texts[i], &value)) << texts[i];
    EXPECT_EQ(bitsOf(value), bitsOf(expected[i])) << texts[i];
  }
  double value = 0;
  EXPECT_TRUE(parseOne(longNumber, &value));
  EXPECT_EQ(bitsOf(value), bitsOf(longExpected));
  // The long text needs a host block of its own: its failure fails the parse.
  const long liveBefore = standin::liveBlocks();
  bool failedOnce = false;
  for (long n = 1; n < 20; ++n) {
    standin::failNthAllocation(n);
    bool parsed = parseOne(longNumber, &value);
    standin::failNthAllocation(0);
    EXPECT_EQ(standin::liveBlocks(), liveBefore);
    if (parsed) break;
    failedOnce = true;
  }
  EXPECT_TRUE(failedOnce);
  restoreCLocale();
}

}  // namespace
