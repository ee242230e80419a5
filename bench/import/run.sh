#!/usr/bin/env bash
# Runs the import benchmark for both document kinds of one status (0 keeps
# the orders' status, 1 takes them over) on a generated shop of 10,000
# orders. Each run is three rounds of an import and its floor (the same
# requests sent by a minimal client) and ends with their medians, as
# "kind 1: import 4.51 s, floor 2.28 s, ratio 1.98".
# Usage: bench/import/run.sh [build dir] [orders]
set -euo pipefail
build=${1:-build}
orders=${2:-10000}
cmake --build "$build" --target import_bench -j2 >/dev/null
for kind in 0 1; do
  "$build/bin/import_bench" --orders "$orders" --kind "$kind"
done
