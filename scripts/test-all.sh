#!/usr/bin/env bash
# Builds the native, sanitizer, 32-bit x86 and 32-bit Windows presets and
# runs all their tests, then fuzzes the JSON reader for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Wine (32-bit, under qemu) for the Windows tests; without it they are skipped.
export MG_WINE_READY=0
if [ -x ../shared/tools/wine32/setup-and-smoke.sh ] && [ "$(id -u)" -eq 0 ]; then
  if ../shared/tools/wine32/setup-and-smoke.sh > /tmp/wine32-setup.log 2>&1; then
    MG_WINE_READY=1
  else
    echo "Wine set-up failed; Windows tests are skipped (see /tmp/wine32-setup.log):"
    tail -n 5 /tmp/wine32-setup.log || true
  fi
fi

status=0
run_preset() {
  local preset=$1
  echo "=== preset $preset ==="
  cmake --preset "$preset" > "/tmp/configure-$preset.log" || { cat "/tmp/configure-$preset.log"; return 1; }
  cmake --build --preset "$preset" || return 1
  ctest --preset "$preset" || return 1
}

for preset in default asan i386 win32; do
  run_preset "$preset" || { echo "preset $preset FAILED"; status=1; }
done

if [ -x fuzz/run-json-fuzz.sh ] && command -v clang++ > /dev/null; then
  echo "=== fuzzing the JSON reader ==="
  fuzz/run-json-fuzz.sh "${MG_FUZZ_SECONDS:-60}" || { echo "fuzzing FAILED"; status=1; }
fi

exit $status
