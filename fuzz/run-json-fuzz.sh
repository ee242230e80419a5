#!/usr/bin/env bash
# Fuzzes the JSON reader for SECONDS (default 60) with libFuzzer, ASan and
# UBSan: builds build-fuzz/json_fuzzer from the reader's sources, the rule
# reader and a malloc-based host memory, then runs it on a working copy of
# fuzz/corpus/json. Exits non-zero when the fuzzer finds a crash, a leak, a
# left host block or a tree unlike the rule reader's (the input is kept in
# build-fuzz/artifacts/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
out="${MG_FUZZ_BUILD_DIR:-$root/build-fuzz}"
compiler="${CXX_FUZZ:-clang++}"

mkdir -p "$out/corpus" "$out/artifacts"
"$compiler" -std=c++17 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" -I"$root/tests" -I"$root/fuzz" \
  "$root/fuzz/json_fuzz_target.cpp" "$root/fuzz/fuzz_host_memory.cpp" \
  "$root"/src/json/*.cpp "$root/tests/json/rule_reader.cpp" "$root/tests/json/json_dump.cpp" \
  -o "$out/json_fuzzer"

"$out/json_fuzzer" -max_total_time="$seconds" -max_len=12288 -timeout=20 \
  -dict="$root/fuzz/json.dict" -artifact_prefix="$out/artifacts/" -print_final_stats=1 \
  "$out/corpus" "$root/fuzz/corpus/json"
