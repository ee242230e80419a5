// Fuzz target of the JSON reader: every input is parsed as a NUL-terminated
// text and must give the tree that the rule reader gives (or be refused by
// both), with intact model fields; the parse is then repeated with one of
// its host allocations failing, which must refuse the text. After either
// run no host block may be left allocated.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_host.h"
#include "json/json.h"
#include "json/json_dump.h"
#include "json/rule_reader.h"

namespace {

[[noreturn]] void stop(const char* what, const std::string& detail) {
  std::fprintf(stderr, "json fuzz target: %s\n%s\n", what, detail.substr(0, 2000).c_str());
  std::abort();
}

// Touches the getters on every object and array of the tree.
void walk(const JsonValue* value) {
  if (const JsonObject* object = jsonValueObject(value)) {
    for (uint32_t i = 0; i < jsonObjectCount(object); ++i) {
      const char* name = object->names[i];
      if (jsonObjectFind(object, name, static_cast<uint32_t>(std::char_traits<char>::length(name))) !=
          object->values[i]) {
        stop("a member is not found by its own name", name);
      }
      (void)jsonObjectString(object, name);
      (void)jsonObjectNumber(object, name);
      (void)jsonObjectArray(object, name);
      walk(object->values[i]);
    }
  } else if (const JsonArray* array = jsonValueArray(value)) {
    for (uint32_t i = 0; i <= jsonArrayCount(array); ++i) (void)jsonArrayObjectAt(array, i);
    for (uint32_t i = 0; i < jsonArrayCount(array); ++i) walk(array->items[i]);
  }
}

uint64_t textHash(const std::string& text) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // c_str() ends it
  const long liveBefore = fuzzLiveBlocks();

  const long allocationsBefore = fuzzAllocationCount();
  JsonValue* root = jsonParse(text.c_str());
  const long allocations = fuzzAllocationCount() - allocationsBefore;
  const std::string line = canonicalDump(root);
  if (root != nullptr) {
    std::string problem = modelProblem(root);
    if (!problem.empty()) stop(problem.c_str(), text);
    walk(root);
    jsonFree(root);
  }
  if (fuzzLiveBlocks() != liveBefore) stop("host blocks left after the parse", text);
  if (line != ruleReaderCanonical(text.c_str())) stop("the tree differs from the rule reader's", text);

  if (allocations > 0) {
    fuzzFailNthAllocation(1 + static_cast<long>(textHash(text) % static_cast<uint64_t>(allocations)));
    JsonValue* starved = jsonParse(text.c_str());
    fuzzFailNthAllocation(0);
    if (starved != nullptr) {
      jsonFree(starved);
      stop("a parse with a failed allocation returned a tree", text);
    }
    if (fuzzLiveBlocks() != liveBefore) stop("host blocks left after a failed allocation", text);
  }
  return 0;
}
