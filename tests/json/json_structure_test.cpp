// Containers and the tree: only "{" or "[" may open the text, blanks,
// separators, literals, the nesting limit (a value at level 20 fails), the
// member and element limits, duplicate names, and the fields of the model
// (type codes, closed containers with count == capacity, parallel blocks).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "json/json.h"
#include "json/json_dump.h"
#include "json/rule_reader.h"
#include "support/host_fixture.h"

namespace {

class JsonStructureTest : public HostFixture {};

struct Case {
  const char* text;
  const char* expected;
};

void expectCases(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c) {
    EXPECT_EQ(parseToCanonical(c->text), c->expected) << c->text;
    EXPECT_EQ(ruleReaderCanonical(c->text), c->expected) << c->text << " (rule reader)";
  }
}

std::string repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Arrays nested `depth` deep around `inside`.
std::string nestedArrays(int depth, const std::string& inside) {
  return repeat("[", depth) + inside + repeat("]", depth);
}

// Objects nested `depth` deep ({"k":{"k":...}}) around `inside`.
std::string nestedObjects(int depth, const std::string& inside) {
  return repeat("{\"k\":", depth - 1) + "{" + inside + "}" + repeat("}", depth - 1);
}

std::string objectWithMembers(int count) {
  std::string text = "{";
  for (int i = 0; i < count; ++i) text += (i ? ",\"m" : "\"m") + std::to_string(i) + "\":" + std::to_string(i);
  return text + "}";
}

std::string arrayWithElements(int count, const std::string& element) {
  std::string text = "[";
  text.reserve(size_t(count) * (element.size() + 1) + 2);
  for (int i = 0; i < count; ++i) {
    if (i) text += ',';
    text += element;
  }
  return text + "]";
}

TEST_F(JsonStructureTest, OnlyAnOpeningBracketOrBraceStartsTheText) {
  EXPECT_EQ(jsonParse(nullptr), nullptr);
  const Case cases[] = {
      {"", "REFUSED"},
      {" {}", "REFUSED"},
      {"\t[]", "REFUSED"},
      {"\n[]", "REFUSED"},
      {"\"a\"", "REFUSED"},
      {"1", "REFUSED"},
      {"-1", "REFUSED"},
      {"true", "REFUSED"},
      {"null", "REFUSED"},
      {"\xef\xbb\xbf{}", "REFUSED"},
      {"{}", "{}"},
      {"[]", "[]"},
      {"{} trailing", "{}"},
      {"[1] [2]", "[n:1]"},
      {"[]]", "[]"},
      {"{}\x01\xff", "{}"},
      {"[\"a\"]\"", "[s:61]"},
  };
  expectCases(std::begin(cases), std::end(cases));
}

TEST_F(JsonStructureTest, SeparatorsAndBlanks) {
  const Case cases[] = {
      {"{ \t\n\v\f\r}", "{}"},
      {"[ \t\n\v\f\r]", "[]"},
      {"{ \"a\" \v: \f1 \r, \"b\"\n:\t[ 2 , 3 ] }", "{61=n:1,62=[n:2,n:3]}"},
      {"[1,]", "REFUSED"},
      {"{\"a\":1,}", "REFUSED"},
      {"[1 2]", "REFUSED"},
      {"[1,,2]", "REFUSED"},
      {"[,1]", "REFUSED"},
      {"[,]", "REFUSED"},
      {"{,}", "REFUSED"},
      {"{\"a\" 1}", "REFUSED"},
      {"{\"a\"::1}", "REFUSED"},
      {"{1:2}", "REFUSED"},
      {"{a:1}", "REFUSED"},
      {"{'a':1}", "REFUSED"},
      {"{\"a\":1 \"b\":2}", "REFUSED"},
      {"[1;2]", "REFUSED"},
      {"[", "REFUSED"},
      {"{", "REFUSED"},
      {"[1", "REFUSED"},
      {"[1,", "REFUSED"},
      {"[1, ", "REFUSED"},
      {"{\"a\"", "REFUSED"},
      {"{\"a\":", "REFUSED"},
      {"{\"a\":1", "REFUSED"},
      {"{\"a\":1,", "REFUSED"},
      {"[}", "REFUSED"},
      {"{]", "REFUSED"},
      {"[{]}", "REFUSED"},
      {"[\xc2\xa0]", "REFUSED"},  // a no-break space is no blank
  };
  expectCases(std::begin(cases), std::end(cases));
}

TEST_F(JsonStructureTest, Literals) {
  const Case cases[] = {
      {"[true,false,null]", "[true,false,null]"},
      {"[ true , false , null ]", "[true,false,null]"},
      {"{\"t\":true,\"n\":null}", "{74=true,6e=null}"},
      {"[nul]", "REFUSED"},
      {"[tru]", "REFUSED"},
      {"[fals]", "REFUSED"},
      {"[True]", "REFUSED"},
      {"[NULL]", "REFUSED"},
      {"[truex]", "REFUSED"},
      {"[nullnull]", "REFUSED"},
      {"[true1]", "REFUSED"},
      {"[n", "REFUSED"},
      {"[t", "REFUSED"},
  };
  expectCases(std::begin(cases), std::end(cases));
  JsonValue* root = jsonParse("[true, false, null]");
  ASSERT_NE(root, nullptr);
  const JsonArray* array = root->array;
  ASSERT_EQ(array->count, 3u);
  EXPECT_EQ(array->items[0]->type, JSON_BOOLEAN);
  EXPECT_EQ(array->items[0]->boolean, 1);
  EXPECT_EQ(array->items[1]->type, JSON_BOOLEAN);
  EXPECT_EQ(array->items[1]->boolean, 0);
  EXPECT_EQ(array->items[2]->type, JSON_NULL);
  jsonFree(root);
}

TEST_F(JsonStructureTest, TwentyLevelsOfNesting) {
  EXPECT_EQ(parseToCanonical(nestedArrays(20, "")), nestedArrays(20, ""));
  EXPECT_EQ(parseToCanonical(nestedArrays(21, "")), "REFUSED");
  EXPECT_EQ(parseToCanonical(nestedArrays(20, "1")), "REFUSED") << "a scalar inside the twentieth fails";
  EXPECT_EQ(parseToCanonical(nestedArrays(20, "\"a\"")), "REFUSED");
  EXPECT_EQ(parseToCanonical(nestedArrays(19, "1")), nestedArrays(19, "n:1"));
  EXPECT_EQ(parseToCanonical(nestedArrays(19, "{}")), nestedArrays(19, "{}"));
  EXPECT_EQ(parseToCanonical(nestedArrays(19, "[]")), nestedArrays(19, "[]"));

  const std::string k = "6b=";
  std::string twenty = parseToCanonical(nestedObjects(20, ""));
  EXPECT_EQ(twenty, repeat("{" + k, 19) + "{}" + repeat("}", 19));
  EXPECT_EQ(parseToCanonical(nestedObjects(21, "")), "REFUSED");
  EXPECT_EQ(parseToCanonical(nestedObjects(20, "\"a\":null")), "REFUSED");
  EXPECT_EQ(parseToCanonical(nestedObjects(19, "\"a\":null")), repeat("{" + k, 18) + "{61=null}" + repeat("}", 18));
  EXPECT_EQ(parseToCanonical("[{\"a\":" + nestedArrays(18, "") + "}]"), "[{61=" + nestedArrays(18, "") + "}]");
  EXPECT_EQ(parseToCanonical("[{\"a\":" + nestedArrays(18, "0") + "}]"), "REFUSED");

  // Siblings do not add up: only the depth counts.
  std::string wide = "[" + nestedArrays(19, "") + "," + nestedArrays(19, "") + "]";
  EXPECT_EQ(parseToCanonical(wide), wide);
  // A very deep text is refused without going deep.
  EXPECT_EQ(parseToCanonical(repeat("[", 200000)), "REFUSED");
  EXPECT_EQ(parseToCanonical(repeat("{\"a\":", 100000)), "REFUSED");
}

TEST_F(JsonStructureTest, MemberLimitIs960) {
  JsonValue* root = jsonParse(objectWithMembers(960).c_str());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->object->count, 960u);
  EXPECT_EQ(root->object->capacity, 960u);
  EXPECT_STREQ(root->object->names[959], "m959");
  EXPECT_EQ(root->object->values[959]->number, 959.0);
  EXPECT_EQ(modelProblem(root), "");
  jsonFree(root);
  EXPECT_EQ(parseToCanonical(objectWithMembers(961)), "REFUSED");
  // The limit is per object: two full objects side by side and one inside
  // another parse.
  std::string full = objectWithMembers(960);
  EXPECT_NE(parseToCanonical("[" + full + "," + full + "]"), "REFUSED");
  std::string outer = "{\"inner\":" + full + "," + objectWithMembers(959).substr(1);
  std::string line = parseToCanonical(outer);
  EXPECT_EQ(line, ruleReaderCanonical(outer.c_str()));
  EXPECT_NE(line, "REFUSED");
  EXPECT_EQ(parseToCanonical("{\"inner\":" + full + "," + objectWithMembers(960).substr(1)), "REFUSED");
}

TEST_F(JsonStructureTest, ElementLimitIs122880) {
  const uint32_t limit = 122880;
  JsonValue* root = jsonParse(arrayWithElements(int(limit), "0").c_str());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->array->count, limit);
  EXPECT_EQ(root->array->capacity, limit);
  EXPECT_EQ(modelProblem(root), "");
  jsonFree(root);
  EXPECT_EQ(parseToCanonical(arrayWithElements(int(limit) + 1, "0")), "REFUSED");
  // The limit is per array, also when the array is nested and when the
  // elements are containers.
  std::string full = arrayWithElements(int(limit), "[]");
  root = jsonParse(("{\"a\":" + full + ",\"b\":[" + full + ",1]}").c_str());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(jsonArrayCount(jsonObjectArray(root->object, "a")), limit);
  EXPECT_EQ(jsonArrayCount(jsonObjectArray(root->object, "b")), 2u);
  jsonFree(root);
  EXPECT_EQ(parseToCanonical("[" + arrayWithElements(int(limit) + 1, "{}") + "]"), "REFUSED");
}

TEST_F(JsonStructureTest, DuplicateNamesAfterDecoding) {
  const Case cases[] = {
      {"{\"a\":1,\"a\":2}", "REFUSED"},
      {"{\"a\":1,\"a\":1}", "REFUSED"},
      {"{\"a\":1,\"A\":2}", "{61=n:1,41=n:2}"},
      {"{\"a\":1,\"\\u0061\":2}", "REFUSED"},
      {"{\"\\u00e9\":1,\"\xc3\xa9\":2}", "REFUSED"},
      {"{\"a\\u0000b\":1,\"a\":2}", "REFUSED"},
      {"{\"a\\u0000b\":1,\"a\\u0000c\":2}", "REFUSED"},
      {"{\"\":1,\"\":2}", "REFUSED"},
      {"{\"abcd\":1,\"aXcd\":2,\"abcX\":3,\"Xbcd\":4}", "{61626364=n:1,61586364=n:2,61626358=n:3,58626364=n:4}"},
      {"{\"ab\":1,\"abc\":2,\"a\":3}", "{6162=n:1,616263=n:2,61=n:3}"},
      // Names of an inner object are not the outer object's.
      {"{\"a\":{\"a\":1}}", "{61={61=n:1}}"},
      {"{\"a\":{\"b\":1},\"b\":2}", "{61={62=n:1},62=n:2}"},
      {"[{\"a\":1},{\"a\":2}]", "[{61=n:1},{61=n:2}]"},
      {"{\"a\":[{\"b\":1}],\"b\":{\"a\":2}}", "{61=[{62=n:1}],62={61=n:2}}"},
  };
  expectCases(std::begin(cases), std::end(cases));
  // A duplicate far from its twin, beyond the first blocks' capacity.
  std::string text = objectWithMembers(500);
  text.back() = ',';
  EXPECT_EQ(parseToCanonical(text + "\"m3\":0}"), "REFUSED");
  EXPECT_NE(parseToCanonical(text + "\"m500\":0}"), "REFUSED");
}

TEST_F(JsonStructureTest, ClosedContainersHoldExactlyTheirEntries) {
  for (int count : {0, 1, 14, 15, 16, 29, 30, 31, 100, 481}) {
    std::string object = objectWithMembers(count);
    std::string array = arrayWithElements(count, "\"x\"");
    JsonValue* root = jsonParse(("[" + object + "," + array + "]").c_str());
    ASSERT_NE(root, nullptr) << count;
    EXPECT_EQ(root->type, JSON_ARRAY);
    const JsonObject* o = root->array->items[0]->object;
    const JsonArray* a = root->array->items[1]->array;
    EXPECT_EQ(root->array->items[0]->type, JSON_OBJECT);
    EXPECT_EQ(root->array->items[1]->type, JSON_ARRAY);
    EXPECT_EQ(o->count, uint32_t(count));
    EXPECT_EQ(o->capacity, o->count);
    EXPECT_EQ(a->count, uint32_t(count));
    EXPECT_EQ(a->capacity, a->count);
    if (count == 0) {
      EXPECT_EQ(o->names, nullptr);
      EXPECT_EQ(o->values, nullptr);
      EXPECT_EQ(a->items, nullptr);
    }
    // names[i] belongs to values[i], in text order.
    for (int i = 0; i < count; ++i) {
      ASSERT_EQ(std::string(o->names[i]), "m" + std::to_string(i));
      ASSERT_EQ(o->values[i]->type, JSON_NUMBER);
      ASSERT_EQ(o->values[i]->number, double(i));
      ASSERT_EQ(a->items[i]->type, JSON_STRING);
      ASSERT_STREQ(a->items[i]->string, "x");
    }
    EXPECT_EQ(modelProblem(root), "");
    jsonFree(root);
  }
}

TEST_F(JsonStructureTest, TypeCodesAreFixed) {
  EXPECT_EQ(JSON_NULL, 1);
  EXPECT_EQ(JSON_STRING, 2);
  EXPECT_EQ(JSON_NUMBER, 3);
  EXPECT_EQ(JSON_OBJECT, 4);
  EXPECT_EQ(JSON_ARRAY, 5);
  EXPECT_EQ(JSON_BOOLEAN, 6);
  EXPECT_EQ(sizeof(JsonType), 4u);
  EXPECT_EQ(offsetof(JsonValue, type), 0u);
  JsonValue* root = jsonParse("{\"n\":null,\"s\":\"x\",\"d\":1.5,\"o\":{},\"a\":[],\"b\":true}");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->type, 4);
  const int expected[] = {1, 2, 3, 4, 5, 6};
  for (int i = 0; i < 6; ++i) {
    int32_t stored;
    std::memcpy(&stored, root->object->values[i], sizeof stored);
    EXPECT_EQ(stored, expected[i]) << root->object->names[i];
  }
  jsonFree(root);
}

// Random documents, well formed and then damaged by a byte, against the
// rule reader: the shared scratch space of open containers must give every
// container its own members, elements and names.
class DocumentMaker {
 public:
  explicit DocumentMaker(unsigned seed) : random_(seed) {}

  std::string value(int depth) {
    int kind = int(random_() % (depth > 23 ? 5 : 8));
    switch (kind) {
      case 0:
        return "null";
      case 1:
        return random_() % 2 ? "true" : "false";
      case 2:
        return number();
      case 3:
      case 4:
        return "\"" + name() + "\"";
      case 5:
      case 6:
        return object(depth + 1);
      default:
        return array(depth + 1);
    }
  }

  std::string object(int depth) {
    std::string out = "{";
    int count = int(random_() % 6);
    for (int i = 0; i < count; ++i) {
      if (i) out += blank() + "," + blank();
      out += "\"" + name() + "\"" + blank() + ":" + blank() + value(depth);
    }
    return out + "}";
  }

  std::string array(int depth) {
    std::string out = "[";
    int count = int(random_() % 6);
    for (int i = 0; i < count; ++i) {
      if (i) out += blank() + "," + blank();
      out += value(depth);
    }
    return out + "]";
  }

  std::string damage(std::string text) {
    size_t at = random_() % (text.size() + 1);
    static const char kBytes[] = "{}[]\",:0-. ex\\u";
    switch (random_() % 3) {
      case 0:
        if (at < text.size()) text.erase(at, 1);
        break;
      case 1:
        text.insert(at, 1, kBytes[random_() % (sizeof kBytes - 1)]);
        break;
      default:
        if (at < text.size()) text[at] = kBytes[random_() % (sizeof kBytes - 1)];
    }
    return text;
  }

  unsigned next() { return random_(); }

 private:
  std::string name() {
    static const char* kNames[] = {"a", "b", "id", "\\u0061", "a\\u0000x", "", "\xc5\x82", "ab"};
    return kNames[random_() % 8];
  }
  std::string number() {
    static const char* kNumbers[] = {"0", "-0", "1", "-1.5", "2e3", "0.25", "123456789012345678901", "1e400"};
    return kNumbers[random_() % 8];
  }
  std::string blank() { return random_() % 4 ? "" : " \n"; }

  std::mt19937 random_;
};

TEST_F(JsonStructureTest, RandomDocumentsFollowTheRules) {
  DocumentMaker maker(2025);
  int accepted = 0;
  for (int i = 0; i < 6000; ++i) {
    std::string text = maker.next() % 2 ? maker.object(0) : maker.array(0);
    if (i % 2) text = maker.damage(text);
    std::string expected = ruleReaderCanonical(text.c_str());
    ASSERT_EQ(parseToCanonical(text), expected) << text;
    accepted += expected != "REFUSED";
  }
  EXPECT_GT(accepted, 1000);
}

}  // namespace
