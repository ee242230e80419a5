// Throughput of jsonParse + jsonFree (host memory through the stand-in's
// allocator) beside cJSON and RapidJSON's DOM parse (default flags, and full
// precision, which like ours gives strtod's bits) on the same texts: a
// page of 100 orders, a large numeric array, and arrays of small objects of
// 1 MB and 10 MB for the linearity of the parse.
#include <benchmark/benchmark.h>
#include <cjson/cJSON.h>
#include <rapidjson/document.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_documents.h"
#include "control/host_control.h"
#include "json/json.h"

namespace {

const std::string& orderPage() {
  static const std::string text = makeOrderPage(100, 20251208);
  return text;
}

const std::string& numberArray() {
  static const std::string text = makeNumberArray(120000, 7);
  return text;
}

const std::string& objectArray(size_t megabytes) {
  static const std::string one = makeObjectArray(1u << 20, 11);
  static const std::string ten = makeObjectArray(10u << 20, 11);
  return megabytes == 1 ? one : ten;
}

void parseWithReader(benchmark::State& state, const std::string& text) {
  long liveBefore = standin::liveBlocks();
  for (auto _ : state) {
    JsonValue* root = jsonParse(text.c_str());
    if (root == nullptr) {
      state.SkipWithError("jsonParse refused the text");
      break;
    }
    benchmark::DoNotOptimize(root);
    jsonFree(root);
  }
  if (standin::liveBlocks() != liveBefore) state.SkipWithError("host blocks left allocated");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void parseWithCjson(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    cJSON* root = cJSON_Parse(text.c_str());
    if (root == nullptr) {
      state.SkipWithError("cJSON refused the text");
      break;
    }
    benchmark::DoNotOptimize(root);
    cJSON_Delete(root);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// parseFlags: RapidJSON's default, or kParseFullPrecisionFlag for numbers
// with exactly strtod's bits, as the Marketgate reader gives them.
template <unsigned parseFlags>
void parseWithRapidjson(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    rapidjson::Document document;
    document.Parse<parseFlags>(text.c_str(), text.size());
    if (document.HasParseError()) {
      state.SkipWithError("RapidJSON refused the text");
      break;
    }
    benchmark::DoNotOptimize(document);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void OrderPage_Marketgate(benchmark::State& state) { parseWithReader(state, orderPage()); }
void OrderPage_cJSON(benchmark::State& state) { parseWithCjson(state, orderPage()); }
void OrderPage_RapidJSON(benchmark::State& state) {
  parseWithRapidjson<rapidjson::kParseDefaultFlags>(state, orderPage());
}
void OrderPage_RapidJSONFull(benchmark::State& state) {
  parseWithRapidjson<rapidjson::kParseFullPrecisionFlag>(state, orderPage());
}
void Numbers_Marketgate(benchmark::State& state) { parseWithReader(state, numberArray()); }
void Numbers_cJSON(benchmark::State& state) { parseWithCjson(state, numberArray()); }
void Numbers_RapidJSON(benchmark::State& state) {
  parseWithRapidjson<rapidjson::kParseDefaultFlags>(state, numberArray());
}
void Numbers_RapidJSONFull(benchmark::State& state) {
  parseWithRapidjson<rapidjson::kParseFullPrecisionFlag>(state, numberArray());
}
void Objects1MB_Marketgate(benchmark::State& state) { parseWithReader(state, objectArray(1)); }
void Objects10MB_Marketgate(benchmark::State& state) { parseWithReader(state, objectArray(10)); }
void Objects1MB_cJSON(benchmark::State& state) { parseWithCjson(state, objectArray(1)); }
void Objects10MB_cJSON(benchmark::State& state) { parseWithCjson(state, objectArray(10)); }
void Objects1MB_RapidJSON(benchmark::State& state) {
  parseWithRapidjson<rapidjson::kParseDefaultFlags>(state, objectArray(1));
}
void Objects10MB_RapidJSON(benchmark::State& state) {
  parseWithRapidjson<rapidjson::kParseDefaultFlags>(state, objectArray(10));
}
void Objects1MB_RapidJSONFull(benchmark::State& state) {
  parseWithRapidjson<rapidjson::kParseFullPrecisionFlag>(state, objectArray(1));
}
void Objects10MB_RapidJSONFull(benchmark::State& state) {
  parseWithRapidjson<rapidjson::kParseFullPrecisionFlag>(state, objectArray(10));
}

}  // namespace

BENCHMARK(OrderPage_Marketgate);
BENCHMARK(OrderPage_cJSON);
BENCHMARK(OrderPage_RapidJSON);
BENCHMARK(OrderPage_RapidJSONFull);
BENCHMARK(Numbers_Marketgate);
BENCHMARK(Numbers_cJSON);
BENCHMARK(Numbers_RapidJSON);
BENCHMARK(Numbers_RapidJSONFull);
BENCHMARK(Objects1MB_Marketgate)->Unit(benchmark::kMillisecond);
BENCHMARK(Objects10MB_Marketgate)->Unit(benchmark::kMillisecond);
BENCHMARK(Objects1MB_cJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(Objects10MB_cJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(Objects1MB_RapidJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(Objects10MB_RapidJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(Objects1MB_RapidJSONFull)->Unit(benchmark::kMillisecond);
BENCHMARK(Objects10MB_RapidJSONFull)->Unit(benchmark::kMillisecond);

namespace {

const char* const kUsage =
    "usage: json_bench [--benchmark_FLAG=VALUE]...\n"
    "\n"
    "The JSON reader's throughput (jsonParse + jsonFree) beside cJSON and\n"
    "RapidJSON on the same texts.\n"
    "\n"
    "Its own options: --help, -h this text and the benchmark library's flags;\n"
    "--version the version of json_bench. Every other option is the library's\n"
    "(for example --benchmark_filter=Objects): they follow.\n"
    "\n"
    "Exit status: 0 the benchmarks ran, or the library refused a flag's value\n"
    "(it then prints its flags and ends the program with 0); 2 an unknown option.\n"
    "\n";

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      std::fflush(stdout);
      // The library prints its flags and ends the program (exit status 0).
      char help[] = "--help";
      char* helpArgv[] = {argv[0], help, nullptr};
      int helpArgc = 2;
      benchmark::Initialize(&helpArgc, helpArgv);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::puts("json_bench " MG_VERSION);
      return 0;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  std::printf("order page: %zu bytes, numeric array: %zu bytes, object arrays: %zu and %zu bytes\n", orderPage().size(),
              numberArray().size(), objectArray(1).size(), objectArray(10).size());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
