// The JSON model of mockgate: what it accepts, and that orders go back
// out exactly as the shop file wrote them.
#include <gtest/gtest.h>

#include "json_value.h"

using namespace mockgate;

namespace {

std::string roundTrip(const std::string& text) {
    JsonValue value;
    EXPECT_TRUE(parseJson(text, value)) << text;
    return toJson(value);
}

bool parses(const std::string& text) {
    JsonValue value;
    return parseJson(text, value);
}

}  // namespace

TEST(JsonValue, KeepsNumbersAsWrittenAndMemberOrder) {
    EXPECT_EQ(roundTrip("{\"z\": 12.50, \"a\": -0, \"big\": 12345678901234567890, \"e\": 1E+3}"),
              "{\"z\":12.50,\"a\":-0,\"big\":12345678901234567890,\"e\":1E+3}");
    EXPECT_EQ(roundTrip(" [true, false, null, [], {}] "), "[true,false,null,[],{}]");
}

TEST(JsonValue, DecodesEscapesToUtf8AndWritesUtf8Back) {
    JsonValue value;
    ASSERT_TRUE(parseJson("\"\\u0105\\u0141 \\ud83d\\ude00 \\\"\\\\\\/\\n\"", value));
    EXPECT_EQ(value.text, "\xC4\x85\xC5\x81 \xF0\x9F\x98\x80 \"\\/\n");
    EXPECT_EQ(toJson(value), "\"\xC4\x85\xC5\x81 \xF0\x9F\x98\x80 \\\"\\\\/\\n\"");
    EXPECT_EQ(roundTrip("\"Zam\xC3\xB3wienie \xE2\x80\x9E\xC5\xBBuraw\xE2\x80\x9D\""),
              "\"Zam\xC3\xB3wienie \xE2\x80\x9E\xC5\xBBuraw\xE2\x80\x9D\"");
}

TEST(JsonValue, RejectsMalformedTexts) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\":1,}", "{\"a\" 1}", "{a:1}", "01", "1.", "-", "1e",
                            "\"\\ud800\"", "\"\\udc00\"", "\"\\x\"", "\"tab\there\"", "[1] x", "nul",
                            "'single'", "\"unterminated"}) {
        EXPECT_FALSE(parses(bad)) << bad;
    }
    EXPECT_FALSE(parses(std::string(300, '[') + std::string(300, ']')));
    EXPECT_TRUE(parses(std::string(100, '[') + std::string(100, ']')));
}

TEST(JsonValue, WritesBytesThatAreNotUtf8AsEscapes) {
    std::string out;
    writeJsonString(std::string("a\xFF\xC4z\x01", 5), out);
    EXPECT_EQ(out, "\"a\\u00ff\\u00c4z\\u0001\"");
    JsonValue back;
    EXPECT_TRUE(parseJson(out, back));
}

TEST(JsonValue, IntegerMembersAreExactAndWholeOnly) {
    JsonValue object;
    ASSERT_TRUE(parseJson("{\"id\": 9007199254740993, \"f\": 5.0, \"g\": 5.5, \"s\": \"5\", \"h\": 1e30}", object));
    long long n = 0;
    ASSERT_TRUE(integerMember(object, "id", n));
    EXPECT_EQ(n, 9007199254740993LL);
    ASSERT_TRUE(integerMember(object, "f", n));
    EXPECT_EQ(n, 5);
    EXPECT_FALSE(integerMember(object, "g", n));
    EXPECT_FALSE(integerMember(object, "s", n));
    EXPECT_FALSE(integerMember(object, "h", n));
    EXPECT_FALSE(integerMember(object, "missing", n));
}
