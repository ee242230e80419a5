// The typed getters over a parsed tree: lookups by exact length, answers of
// nothing (or 0, 0.0) for absent containers, missing members and members
// of another type.
#include <gtest/gtest.h>

#include "json/json.h"
#include "support/host_fixture.h"

namespace {

class JsonAccessTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    root = jsonParse(
        "{\"stat\":\"short\",\"status\":\"long\",\"price\":\"12\",\"qty\":3.5,\"zero\":0,\"none\":null,"
        "\"flag\":true,\"list\":[{\"id\":1},7,{\"id\":2},\"x\"],\"obj\":{\"inner\":[]},\"empty\":[],"
        "\"\":\"blank name\"}");
    ASSERT_NE(root, nullptr);
    object = jsonValueObject(root);
    ASSERT_NE(object, nullptr);
  }
  void TearDown() override {
    jsonFree(root);
    HostFixture::TearDown();
  }

  JsonValue* root = nullptr;
  JsonObject* object = nullptr;
};

TEST_F(JsonAccessTest, FindComparesTheGivenLengthExactly) {
  JsonValue* found = jsonObjectFind(object, "status", 4);
  ASSERT_NE(found, nullptr);
  EXPECT_STREQ(found->string, "short") << "\"status\" cut to 4 bytes names stat";
  found = jsonObjectFind(object, "status", 6);
  ASSERT_NE(found, nullptr);
  EXPECT_STREQ(found->string, "long");
  EXPECT_EQ(jsonObjectFind(object, "statusX", 7), nullptr);
  EXPECT_EQ(jsonObjectFind(object, "sta", 3), nullptr);
  EXPECT_EQ(jsonObjectFind(object, "stat\0us", 7), nullptr);
  found = jsonObjectFind(object, "xyz", 0);
  ASSERT_NE(found, nullptr) << "the member with the empty name";
  EXPECT_STREQ(found->string, "blank name");
  EXPECT_EQ(jsonObjectFind(nullptr, "stat", 4), nullptr);

  JsonValue* onlyStatus = jsonParse("{\"status\":1}");
  ASSERT_NE(onlyStatus, nullptr);
  EXPECT_EQ(jsonObjectFind(onlyStatus->object, "status", 4), nullptr) << "stat is not status";
  jsonFree(onlyStatus);
}

TEST_F(JsonAccessTest, StringGetter) {
  EXPECT_STREQ(jsonObjectString(object, "stat"), "short");
  EXPECT_STREQ(jsonObjectString(object, "price"), "12");
  EXPECT_EQ(jsonObjectString(object, "none"), nullptr) << "null is not a string";
  EXPECT_EQ(jsonObjectString(object, "qty"), nullptr);
  EXPECT_EQ(jsonObjectString(object, "list"), nullptr);
  EXPECT_EQ(jsonObjectString(object, "missing"), nullptr);
  EXPECT_EQ(jsonObjectString(nullptr, "stat"), nullptr);
}

TEST_F(JsonAccessTest, NumberGetter) {
  EXPECT_EQ(jsonObjectNumber(object, "qty"), 3.5);
  EXPECT_EQ(jsonObjectNumber(object, "price"), 0.0) << "the string 12 is no number";
  EXPECT_EQ(jsonObjectNumber(object, "zero"), 0.0);
  EXPECT_EQ(jsonObjectNumber(object, "flag"), 0.0);
  EXPECT_EQ(jsonObjectNumber(object, "none"), 0.0);
  EXPECT_EQ(jsonObjectNumber(object, "missing"), 0.0);
  EXPECT_EQ(jsonObjectNumber(nullptr, "qty"), 0.0);
}

TEST_F(JsonAccessTest, ContainerGetters) {
  EXPECT_EQ(jsonObjectCount(object), 11u);
  EXPECT_EQ(jsonObjectCount(nullptr), 0u);
  EXPECT_EQ(jsonValueArray(root), nullptr);
  EXPECT_EQ(jsonValueObject(nullptr), nullptr);
  EXPECT_EQ(jsonValueArray(nullptr), nullptr);
  JsonValue* number = jsonObjectFind(object, "qty", 3);
  EXPECT_EQ(jsonValueObject(number), nullptr);
  EXPECT_EQ(jsonValueArray(number), nullptr);

  EXPECT_EQ(jsonObjectArray(object, "obj"), nullptr) << "an object is no array";
  EXPECT_EQ(jsonObjectArray(object, "price"), nullptr);
  EXPECT_EQ(jsonObjectArray(object, "missing"), nullptr);
  JsonArray* empty = jsonObjectArray(object, "empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(jsonArrayCount(empty), 0u);
  EXPECT_EQ(jsonArrayObjectAt(empty, 0), nullptr);
  EXPECT_EQ(jsonArrayCount(nullptr), 0u);

  JsonArray* list = jsonObjectArray(object, "list");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(jsonArrayCount(list), 4u);
  EXPECT_EQ(jsonObjectNumber(jsonArrayObjectAt(list, 0), "id"), 1.0);
  EXPECT_EQ(jsonArrayObjectAt(list, 1), nullptr) << "the element is a number";
  EXPECT_EQ(jsonObjectNumber(jsonArrayObjectAt(list, 2), "id"), 2.0);
  EXPECT_EQ(jsonArrayObjectAt(list, 3), nullptr) << "the element is a string";
  EXPECT_EQ(jsonArrayObjectAt(list, 4), nullptr) << "index equal to count";
  EXPECT_EQ(jsonArrayObjectAt(list, 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(jsonArrayObjectAt(nullptr, 0), nullptr);

  JsonObject* inner = jsonValueObject(jsonObjectFind(object, "obj", 3));
  ASSERT_NE(inner, nullptr);
  EXPECT_NE(jsonObjectArray(inner, "inner"), nullptr);
}

TEST_F(JsonAccessTest, FindSearchesFromTheFirstMember) {
  JsonValue* many = jsonParse(
      "{\"a\":1,\"b\":2,\"c\":3,\"d\":4,\"e\":5,\"f\":6,\"g\":7,\"h\":8,\"i\":9,\"j\":10,"
      "\"k\":11,\"l\":12,\"m\":13,\"n\":14,\"o\":15,\"p\":16,\"q\":17}");
  ASSERT_NE(many, nullptr);
  EXPECT_EQ(jsonObjectNumber(many->object, "a"), 1.0);
  EXPECT_EQ(jsonObjectNumber(many->object, "q"), 17.0);
  jsonFree(many);
}

}  // namespace
