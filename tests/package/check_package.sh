#!/usr/bin/env bash
# The release package as a shop owner receives it: built, unpacked and
# checked (exactly its four files; the texts with CR LF line ends and the
# guide naming every option of the example marketgate.ini; the DLL stripped,
# its debug information beside the package under the name its debug link
# gives; exports, imports and version resource as the build tree's), and the
# DLL in it loading and importing under Wine as the build tree's DLL does,
# where Wine is set up.
#
#   check_package.sh BUILD_DIR SOURCE_DIR VERSION OBJDUMP WINDRES NATIVE_BIN
set -u
build=$1
source_dir=$2
version=$3
objdump=$4
windres=$5
native_bin=$6
wine=${WINE32_RUN:-/usr/local/bin/wine32-run}

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

cmake --build "$build" --target package > "$build/package-build.log" 2>&1 ||
  { tail -n 30 "$build/package-build.log"; echo "FAILED: the package target"; exit 1; }
name=marketgate-$version-win32
zip=$build/$name.zip
[ -f "$zip" ] || { echo "FAILED: no $zip"; exit 1; }

work=$build/package-check
rm -rf "$work"
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip") || { echo "FAILED: $zip does not unpack"; exit 1; }
files=$(cd "$work/unpacked" && find . -type f | sort | tr '\n' ' ')
expected="./$name/INSTALACJA.txt ./$name/LICENSE.txt ./$name/marketgate.dll ./$name/marketgate.ini "
[ "$files" = "$expected" ] || fail "the package holds '$files', not '$expected'"
package=$work/unpacked/$name

for text in INSTALACJA.txt marketgate.ini LICENSE.txt; do
  lines=$(wc -l < "$package/$text")
  windows_lines=$(grep -c $'\r$' "$package/$text")
  [ "$lines" -gt 0 ] && [ "$lines" = "$windows_lines" ] ||
    fail "$text: $windows_lines of $lines lines end with CR LF"
  grep -q "@PROJECT_VERSION@" "$package/$text" && fail "$text: the version is not filled in"
done
for key in $(sed -n 's/^;\?\([A-Za-z]*\)=.*/\1/p' "$package/marketgate.ini"); do
  grep -q "\b$key\b" "$package/INSTALACJA.txt" || fail "the guide does not explain $key of marketgate.ini"
done
grep -q "marketgate-$version\|wersja $version" "$package/INSTALACJA.txt" || fail "the guide does not name version $version"

dll=$package/marketgate.dll
sections=$("$objdump" -h "$dll")
grep -q "\.debug_" <<< "$sections" && fail "marketgate.dll in the package carries debug information"
grep -q "\.gnu_debuglink" <<< "$sections" || fail "marketgate.dll in the package has no debug link"
"$objdump" -h "$build/marketgate.dll.debug" 2> /dev/null | grep -q "\.debug_info" ||
  fail "no debug information in $build/marketgate.dll.debug beside the package"
[ "$(stat -c %s "$dll")" -lt "$(stat -c %s "$build/bin/marketgate.dll")" ] || fail "the packaged DLL is not smaller"
cmake -DOBJDUMP="$objdump" -DDLL="$dll" -P "$source_dir/tests/frame/check_plugin_dll.cmake" || fail "exports and imports"
cmake -DVERSION="$version" -DDLL="$dll" -DWINDRES="$windres" -P "$source_dir/tests/frame/check_version.cmake" ||
  fail "version resource"

# Under Wine: the host stand-in with the packaged DLL in place of the build's
# (not when the test script found Wine not set up: MG_WINE_READY=0).
if [ "${MG_WINE_READY:-1}" != 0 ] && [ -x "$wine" ] && [ -e "$native_bin/mockgate" ]; then
  mkdir -p "$work/windows-bin"
  cp "$build/bin/tomiks.exe" "$work/windows-bin/"
  for module in "$build"/bin/*.dll; do
    [ "$(basename "$module")" = marketgate.dll ] || cp "$module" "$work/windows-bin/"
  done
  cp "$dll" "$work/windows-bin/"
  bash "$source_dir/tests/wine/tomiks_under_wine.sh" "$work/windows-bin" "$native_bin" "$source_dir" "$work/wine"
  status=$?
  [ $status -eq 0 ] || [ $status -eq 77 ] || fail "the packaged DLL under Wine (exit $status)"
else
  echo "Wine part skipped: no Wine runner $wine or no Linux build in $native_bin"
fi

[ $failures -eq 0 ] || exit 1
echo "$name.zip: $files"
