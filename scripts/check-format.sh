#!/usr/bin/env bash
# Checks that the C and C++ sources are as clang-format 14 writes them with
# the .clang-format files of the tree; names every file it would change.
#   scripts/check-format.sh          check (exit 0: all formatted, 1: not)
#   scripts/check-format.sh --fix    format the files that are not
# Exit 2: bad usage, or no clang-format 14.
set -uo pipefail
cd "$(dirname "$0")/.."

fix=0
case "${1:-}" in
  "") ;;
  --fix) fix=1 ;;
  -h | --help)
    sed -n '2,6s/^# \{0,1\}//p' "$0"
    exit 0 ;;
  *) echo "check-format.sh: unknown option $1" >&2; exit 2 ;;
esac

format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ] || ! "$format" --version | grep -q "version 14\."; then
  echo "check-format.sh: clang-format 14 is missing (apt-get install clang-format-14)" >&2
  exit 2
fi

unformatted=()
while IFS= read -r -d '' file; do
  if ! "$format" --style=file --dry-run --Werror "$file" > /dev/null 2>&1; then
    unformatted+=("$file")
  fi
done < <(git ls-files -z --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h')

if [ ${#unformatted[@]} -eq 0 ]; then
  exit 0
fi
if [ "$fix" = 1 ]; then
  "$format" --style=file -i "${unformatted[@]}"
  echo "formatted ${#unformatted[@]} files: ${unformatted[*]}"
  exit 0
fi
echo "not as clang-format writes them (scripts/check-format.sh --fix formats them):" >&2
printf '  %s\n' "${unformatted[@]}" >&2
exit 1
