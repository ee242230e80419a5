#!/usr/bin/env bash
# Fuzzes the readers of the files the plug-in keeps (register, journal,
# note) for SECONDS (default 60) with libFuzzer, ASan and UBSan: builds
# build-fuzz/kept_files_fuzzer from the readers' sources (which call no host
# function), then runs it on a working copy of
# fuzz/corpus/kept. Exits non-zero when the fuzzer finds a crash, a leak or
# a reading that breaks the readers' rules (the input is kept in
# build-fuzz/artifacts/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
out="${MG_FUZZ_BUILD_DIR:-$root/build-fuzz}"
compiler="${CXX_FUZZ:-clang++}"

mkdir -p "$out/kept-corpus" "$out/artifacts"
"$compiler" -std=c++17 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" -I"$root/fuzz" \
  "$root/fuzz/kept_files_fuzz_target.cpp" "$root/src/service/kept_file_reading.cpp" \
  "$root/src/service/push_journal_lines.cpp" "$root/src/import/booked_order_lines.cpp" \
  "$root/src/import/taken_over_note_lines.cpp" \
  "$root/src/platform/kept_files.cpp" \
  -o "$out/kept_files_fuzzer"

"$out/kept_files_fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=20 \
  -dict="$root/fuzz/kept_files.dict" -artifact_prefix="$out/artifacts/" -print_final_stats=1 \
  "$out/kept-corpus" "$root/fuzz/corpus/kept"
