// Exhausted host memory: the 1st, 2nd, ... allocation of a parse fails in
// turn. Every run that met the failure returns nothing, every other run
// returns the full tree, and no run leaves a host block allocated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/host_control.h"
#include "json/json.h"
#include "json/json_dump.h"
#include "support/host_fixture.h"

namespace {

std::string repeatJoined(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) {
    if (i) out += ',';
    out += piece;
  }
  return out;
}

std::vector<std::string> sweepTexts() {
  std::vector<std::string> texts = {
      "{}",
      "[]",
      "[1]",
      "{\"a\":\"b\"}",
      "{\"id\":\"A-1\",\"status\":\"\\u0142\\n\",\"products\":[{\"sku\":\"x\",\"price\":12.5,\"qty\":2}],\"paid\":true}",
      "[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]",
      "{\"a\":{\"b\":{\"c\":[1,{\"d\":null}]}}}",
  };
  // Containers that cost more tree than their text: the first block of
  // tree memory is outgrown several times.
  texts.push_back("[" + repeatJoined("[]", 30000) + "]");
  texts.push_back("[" + repeatJoined("{}", 30000) + "]");
  texts.push_back("[" + repeatJoined("{\"a\":[1]}", 8000) + "]");
  // One text longer than any regular block of tree memory.
  texts.push_back("[\"" + std::string(400000, 'q') + "\",\"" + std::string(100, 'r') + "\\n\"]");
  // Open containers that outgrow the parser's scratch space.
  std::string members = "{";
  for (int i = 0; i < 960; ++i)
    members += (i ? ",\"name" : "\"name") + std::to_string(i) + "\":[" + std::to_string(i) + "]";
  texts.push_back(members + "}");
  texts.push_back("[" + repeatJoined("7", 122880) + "]");
  texts.push_back("[" + repeatJoined("[" + repeatJoined("1", 600) + "]", 200) + "]");
  // Texts that are refused late, after much has been built.
  texts.push_back("[" + repeatJoined("{\"k\":\"v\"}", 5000) + ",]");
  texts.push_back("{" + members.substr(1) + ",\"name7\":0}");
  return texts;
}

class JsonAllocationTest : public HostFixture {};

TEST_F(JsonAllocationTest, EveryFailedAllocationFailsTheParseAndLeavesNothing) {
  for (const std::string& text : sweepTexts()) {
    SCOPED_TRACE(text.substr(0, 60));
    const std::string expected = parseToCanonical(text);
    const long liveBefore = standin::liveBlocks();
    for (long n = 1;; ++n) {
      ASSERT_LT(n, 10000) << "the parse never succeeded";
      const long allocationsBefore = standin::allocationCount();
      standin::failNthAllocation(n);
      JsonValue* root = jsonParse(text.c_str());
      const long used = standin::allocationCount() - allocationsBefore;
      standin::failNthAllocation(0);
      const bool failureMet = used >= n;
      if (failureMet) {
        EXPECT_EQ(root, nullptr) << "allocation " << n << " failed, yet a tree came back";
      }
      if (root != nullptr) {
        EXPECT_EQ(canonicalDump(root), expected) << "allocation " << n;
        EXPECT_EQ(modelProblem(root), "");
        jsonFree(root);
      }
      ASSERT_EQ(standin::liveBlocks(), liveBefore) << "allocation " << n << " failed";
      if (!failureMet) {
        // The failure was never reached: this was an undisturbed parse.
        EXPECT_EQ(root != nullptr, expected != "REFUSED");
        break;
      }
    }
  }
}

}  // namespace
