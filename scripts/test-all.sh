#!/usr/bin/env bash
# Builds the native, sanitizer, 32-bit x86 and 32-bit Windows presets and
# runs all their tests, checks the sources' formatting, then fuzzes the JSON
# reader and the readers of the kept files for a bounded time each.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# This run's logs, apart from those of runs by other users.
logs=$(mktemp -d "${TMPDIR:-/tmp}/marketgate-tests.XXXXXX")
echo "== Logs of set-up and configuration in $logs"

# Wine (32-bit, under qemu where the kernel cannot run 32-bit code) for the
# Windows tests: tools/wine32's set-up (run as root) proves it with a smoke
# test. Without it the win32 preset is still built, and its tests are reported
# as skipped with the reason.
export MG_WINE_READY=0
MG_WINE_SKIP_REASON=""
wine_setup=tools/wine32/setup-and-smoke.sh
if [ ! -f "$wine_setup" ]; then
  MG_WINE_SKIP_REASON="$wine_setup is missing"
elif [ "$(id -u)" -ne 0 ] && ! command -v sudo > /dev/null; then
  MG_WINE_SKIP_REASON="the Wine set-up must run as root (and there is no sudo)"
elif $([ "$(id -u)" -eq 0 ] || echo sudo) bash "$wine_setup" > "$logs/wine32-setup.log" 2>&1; then
  MG_WINE_READY=1
else
  MG_WINE_SKIP_REASON="the Wine set-up failed (see $logs/wine32-setup.log): $(tail -n 3 "$logs/wine32-setup.log" | tr '\n' ' ')"
fi

# The Windows tests under Wine: the prefix made once before tests run side by
# side, and a wineserver kept running for them (its output goes nowhere, so
# ctest's pipes close when each test ends); stopped again afterwards.
run_wine_tests() {
  local result=0
  wine32-run --init
  wine32-run --start
  ctest --preset win32 || result=1
  wine32-run --stop
  return $result
}

status=0
run_preset() {
  local preset=$1
  echo "=== preset $preset ==="
  cmake --preset "$preset" > "$logs/configure-$preset.log" || { cat "$logs/configure-$preset.log"; return 1; }
  cmake --build --preset "$preset" || return 1
  if [ "$preset" = win32 ]; then
    if [ "$MG_WINE_READY" != 1 ]; then
      echo "Windows tests under Wine SKIPPED: $MG_WINE_SKIP_REASON"
      # What needs no Windows to run still runs: the DLL's exports, imports and
      # version resource, and the release package (but for its Wine part).
      ctest --preset win32 -R "plugin_dll_exports_and_imports|plugin_dll_version_resource|release_package"
      return
    fi
    run_wine_tests
    return
  fi
  ctest --preset "$preset" || return 1
}

for preset in default asan i386 win32; do
  run_preset "$preset" || { echo "preset $preset FAILED"; status=1; }
done

echo "=== formatting ==="
scripts/check-format.sh || { echo "formatting FAILED"; status=1; }

if [ -x fuzz/run-json-fuzz.sh ] && command -v clang++ > /dev/null; then
  echo "=== fuzzing the JSON reader ==="
  fuzz/run-json-fuzz.sh "${MG_FUZZ_SECONDS:-60}" || { echo "fuzzing FAILED"; status=1; }
fi
if [ -x fuzz/run-kept-files-fuzz.sh ] && command -v clang++ > /dev/null; then
  echo "=== fuzzing the readers of the kept files ==="
  fuzz/run-kept-files-fuzz.sh "${MG_FUZZ_SECONDS:-60}" || { echo "fuzzing FAILED"; status=1; }
fi

exit $status
