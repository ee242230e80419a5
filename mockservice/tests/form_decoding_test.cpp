// Decoding of service calls as the plug-in and ordinary form encoders send them.
#include <gtest/gtest.h>

#include "form_decoding.h"

using namespace mockgate;

TEST(FormDecoding, ReadsThePluginsBodyWithLiteralBracesAndBlanks) {
    ServiceCall call = decodeServiceCall(
        "token=abc&method=getOrders&parameters={%22status_id%22: 5, %22date_confirmed_from%22: 1000}");
    EXPECT_EQ(call.token, "abc");
    EXPECT_EQ(call.method, "getOrders");
    ASSERT_TRUE(call.parametersValid);
    EXPECT_EQ(compactJson(call.parametersText), "{\"status_id\":5,\"date_confirmed_from\":1000}");
}

TEST(FormDecoding, ReadsFullyEncodedBodies) {
    ServiceCall call = decodeServiceCall(
        "method=setOrderStatus&token=a%2Bb+c%26&parameters=%7B%22order_id%22%3A+7%2C%22status_id%22%3A2%7D");
    EXPECT_EQ(call.token, "a+b c&");
    ASSERT_TRUE(call.parametersValid);
    EXPECT_EQ(compactJson(call.parametersText), "{\"order_id\":7,\"status_id\":2}");
}

TEST(FormDecoding, KeepsBrokenEscapesAndTakesTheFirstOfRepeatedFields) {
    EXPECT_EQ(percentDecode("100%"), "100%");
    EXPECT_EQ(percentDecode("%4"), "%4");
    EXPECT_EQ(percentDecode("%zz%41"), "%zzA");
    ServiceCall call = decodeServiceCall("token=one&token=two&&method&x=1");
    EXPECT_EQ(call.token, "one");
    EXPECT_TRUE(call.hasMethod);
    EXPECT_EQ(call.method, "");
}

TEST(FormDecoding, TellsMissingEmptyAndBadParametersApart) {
    ServiceCall none = decodeServiceCall("token=t&method=getOrderStatusList");
    EXPECT_FALSE(none.hasParameters);
    EXPECT_FALSE(none.hasToken && none.token.empty());
    ServiceCall empty = decodeServiceCall("token=t&method=getOrders&parameters=");
    EXPECT_FALSE(empty.hasParameters);
    ServiceCall array = decodeServiceCall("token=t&method=getOrders&parameters=[1]");
    EXPECT_TRUE(array.hasParameters);
    EXPECT_FALSE(array.parametersValid);
    ServiceCall broken = decodeServiceCall("token=t&method=getOrders&parameters={\"status_id\": }");
    EXPECT_TRUE(broken.hasParameters);
    EXPECT_FALSE(broken.parametersValid);
}
