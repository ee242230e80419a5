#!/usr/bin/env bash
# Every program of a build's bin folder answers --help and -h (exit 0, the
# exit statuses stated) and --version (exit 0, "NAME VERSION"), and refuses an
# unknown option with exit status 2 and a message that names it. The host
# stand-in's help names the plug-in's file of its platform.
#
#   program_options.sh BIN_DIR VERSION [EMULATOR [ITS WORDS]]
# EMULATOR runs the programs of a cross build (wine32-run for the .exe files,
# qemu-i386 for the 32-bit x86 ones); exit 77: skipped (it is not there).
set -u

bin=$1
version=$2
emulator=("${@:3}")

if [ ${#emulator[@]} -gt 0 ] && ! command -v "${emulator[0]}" > /dev/null; then
  echo "SKIPPED: no ${emulator[0]} to run the programs with"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/program-options.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# run PROGRAM WORDS...: exit status in $status, outputs in $work/out and $work/err.
run() {
  local program=$1
  shift
  timeout 120 "${emulator[@]}" "$program" "$@" > "$work/out" 2> "$work/err" < /dev/null
  status=$?
  # Windows programs end their lines with CR LF.
  sed -i 's/\r$//' "$work/out" "$work/err"
}

programs=0
for program in "$bin"/*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  file=$(basename "$program")
  case "$file" in
    *.exe) name=${file%.exe} ;;
    *.*) continue ;;  # libraries and the like
    *) name=$file ;;
  esac
  programs=$((programs + 1))

  for word in --help -h; do
    run "$program" "$word"
    [ "$status" = 0 ] || fail "$file $word: exit status $status, not 0: $(head -c 300 "$work/err")"
    grep -qi "exit status" "$work/out" || fail "$file $word: the help states no exit status"
  done
  if [ "$name" = tomiks ]; then
    run "$program" --help
    module=marketgate.so
    [ "$file" = tomiks.exe ] && module=marketgate.dll
    grep -q "$module" "$work/out" || fail "$file --help does not name $module"
    other=marketgate.dll
    [ "$module" = marketgate.dll ] && other=marketgate.so
    ! grep -q "$other" "$work/out" || fail "$file --help names $other, the other platform's plug-in"
  fi

  run "$program" --version
  [ "$status" = 0 ] || fail "$file --version: exit status $status, not 0"
  [ "$(cat "$work/out")" = "$name $version" ] || fail "$file --version printed '$(head -c 200 "$work/out")', not '$name $version'"

  run "$program" --no-such-option
  [ "$status" = 2 ] || fail "$file --no-such-option: exit status $status, not 2"
  grep -q -- "--no-such-option" "$work/err" || fail "$file --no-such-option: the message does not name the option: $(head -c 300 "$work/err")"
done

[ "$programs" -gt 0 ] || fail "no program in $bin"
echo "$programs programs checked, $failures failures"
[ "$failures" = 0 ]
