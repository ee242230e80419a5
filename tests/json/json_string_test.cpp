// Strings: escapes, \u code values written one by one as UTF-8 (a
// surrogate pair stays two three-byte sequences), the text ending at a
// decoded NUL, control bytes refused but DEL and raw UTF-8 copied.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "json/json.h"
#include "json/json_dump.h"
#include "json/rule_reader.h"
#include "support/host_fixture.h"

namespace {

class JsonStringTest : public HostFixture {
 protected:
  // The canonical line of ["<inner>"].
  std::string stringElement(const std::string& inner) { return parseToCanonical("[\"" + inner + "\"]"); }
};

struct Case {
  const char* inner;     // between the quotes
  const char* expected;  // canonical line of the one-element array
};

TEST_F(JsonStringTest, EscapesAndCodeValues) {
  const Case cases[] = {
      {"\\u00e9", "[s:c3a9]"},
      {"\\u00E9", "[s:c3a9]"},
      {"\\u20ac", "[s:e282ac]"},
      {"\\ud83d\\ude00", "[s:eda0bdedb880]"},
      {"\\u0041", "[s:41]"},
      {"\\u007f", "[s:7f]"},
      {"\\u0080", "[s:c280]"},
      {"\\u07ff", "[s:dfbf]"},
      {"\\u0800", "[s:e0a080]"},
      {"\\uffff", "[s:efbfbf]"},
      {"\\u0001", "[s:01]"},
      {"a\\u0000b", "[s:61]"},
      {"\\u0000", "[s:]"},
      {"\\\"\\\\\\/\\b\\f\\n\\r\\t", "[s:225c2f080c0a0d09]"},
      {"\\u00411", "[s:4131]"},
      {"\\u12G4", "REFUSED"},
      {"\\u12", "REFUSED"},
      {"\\u", "REFUSED"},
      {"\\u 123", "REFUSED"},
      {"\\u+123", "REFUSED"},
      {"\\u0x12", "REFUSED"},
      {"\\x", "REFUSED"},
      {"\\a", "REFUSED"},
      {"\\U0041", "REFUSED"},
      {"\\'", "REFUSED"},
      {"\\\t", "REFUSED"},
      {"a\tb", "REFUSED"},
      {"a\nb", "REFUSED"},
      {"\x01", "REFUSED"},
      {"\x1f", "REFUSED"},
      {"\x7f", "[s:7f]"},
      {"\xc5\x82\xc3\xb3"
       "d\xc5\xba",
       "[s:c582c3b364c5ba]"},
      {"\xff\xfe\x80", "[s:fffe80]"},
      {"", "[s:]"},
      {" ", "[s:20]"},
      {"/", "[s:2f]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stringElement(c.inner), c.expected) << c.inner;
    EXPECT_EQ(ruleReaderCanonical(("[\"" + std::string(c.inner) + "\"]").c_str()), c.expected)
        << c.inner << " (rule reader)";
  }
}

TEST_F(JsonStringTest, UnterminatedStringsFail) {
  const char* texts[] = {"[\"abc", "[\"abc\\", "[\"abc\\\"]", "{\"a", "{\"a\\\"}", "[\"\\u00"};
  for (const char* text : texts) EXPECT_EQ(parseToCanonical(text), "REFUSED") << text;
}

TEST_F(JsonStringTest, EscapedQuoteDoesNotEndTheString) {
  EXPECT_EQ(parseToCanonical("[\"a\\\"b\",\"c\"]"), "[s:612262,s:63]");
  EXPECT_EQ(parseToCanonical("[\"\\\\\",\"c\"]"), "[s:5c,s:63]");
}

TEST_F(JsonStringTest, MemberNamesAreDecodedLikeValues) {
  EXPECT_EQ(parseToCanonical("{\"\\u00e9\\n\":\"\\u00e9\"}"), "{c3a90a=s:c3a9}");
  EXPECT_EQ(parseToCanonical("{\"a\\u0000b\":1}"), "{61=n:1}");
  EXPECT_EQ(parseToCanonical("{\"\":1}"), "{=n:1}");
  EXPECT_EQ(parseToCanonical("{\"\\x\":1}"), "REFUSED");
  EXPECT_EQ(parseToCanonical("{\"a\tb\":1}"), "REFUSED");
}

// Long strings with and without escapes (the reader copies plain runs in
// bulk and decodes escaped ones) against the rule reader.
TEST_F(JsonStringTest, RandomStringsFollowTheRules) {
  static const char* kPieces[] = {"a",    "\xc5\x82", "\\n",          "\\u00e9", "\\u0000", "\\ud83d",
                                  "\\\\", "\\\"",     "\x7f",         "\t",      "\\x",     "\\u12",
                                  "\\/",  " ",        "\xe2\x82\xac", "\\uABCD"};
  std::mt19937 random(31337);
  for (int i = 0; i < 20000; ++i) {
    std::string text = "[\"";
    int pieces = int(random() % 40);
    for (int k = 0; k < pieces; ++k) {
      int piece = int(random() % 16);
      // The failing pieces only now and then, so that most strings parse.
      if ((piece == 9 || piece == 10 || piece == 11) && random() % 8 != 0) piece = 0;
      text += kPieces[piece];
    }
    text += "\",\"x\"]";
    ASSERT_EQ(parseToCanonical(text), ruleReaderCanonical(text.c_str())) << text;
  }
}

TEST_F(JsonStringTest, LargeStringKeepsEveryByte) {
  std::string body;
  for (int i = 0; i < 300000; ++i) body += char('a' + i % 26);
  std::string escaped = body + "\\u00e9";
  EXPECT_EQ(parseToCanonical("[\"" + body + "\"]"), "[s:" + hexBytes(body) + "]");
  EXPECT_EQ(parseToCanonical("[\"" + escaped + "\"]"), "[s:" + hexBytes(body) + "c3a9]");
}

}  // namespace
