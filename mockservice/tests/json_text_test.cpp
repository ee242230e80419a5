// mockgate's own JSON helpers: whole numbers read exactly, and log texts
// that stay valid JSON whatever bytes a request body holds.
#include <gtest/gtest.h>

#include "json_text.h"

using namespace mockgate;

TEST(JsonText, IntegerMembersAreExactAndWholeOnly) {
    JsonDocument object;
    ASSERT_TRUE(
        parseJson("{\"id\": 9007199254740993, \"f\": 5.0, \"g\": 5.5, \"s\": \"5\", \"h\": 1e30,"
                  " \"u\": 12345678901234567890}",
                  object));
    long long n = 0;
    ASSERT_TRUE(integerMember(object, "id", n));
    EXPECT_EQ(n, 9007199254740993LL);
    ASSERT_TRUE(integerMember(object, "f", n));
    EXPECT_EQ(n, 5);
    for (const char* refused : {"g", "s", "h", "u", "missing"})
        EXPECT_FALSE(integerMember(object, refused, n)) << refused;
}

TEST(JsonText, BytesThatAreNotUtf8BecomeTheirCodePoints) {
    std::string text = jsonString(std::string("a\xFF\xC4z\x01\xC5\x82\0\xE2\x82", 10));
    EXPECT_EQ(text, "\"a\xC3\xBF\xC3\x84z\\u0001\xC5\x82\\u0000\xC3\xA2\xC2\x82\"");
    JsonDocument back;
    EXPECT_TRUE(parseJson(text, back));
}
