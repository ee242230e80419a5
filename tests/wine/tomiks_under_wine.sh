#!/usr/bin/env bash
# The Windows plug-in at work: tomiks.exe under Wine loads marketgate.dll and
# does what a user does, next to the Linux build doing the same against its
# own mockgate (each started from the same sample shop):
#   1. import the shop's new orders: the import file the universal import kept
#      is the Linux one with CR LF line ends (the file is written in text mode);
#      the program's report is the same;
#   2. handle one imported document: its order moves on to the chosen status,
#      and both services end in the same state;
#   3. ask for the diagnosis on an incompatible host: exactly one "STOP!!!"
#      message, the same text as on Linux (but for the module's file name);
#   4. start two imports at once in one working directory (against a third
#      mockgate): one ends at once as another import runs, and with a third
#      import every order of the shop is stored exactly once.
# Every run loads, starts and unloads the plug-in; a crash fails the run.
#
#   tomiks_under_wine.sh WINDOWS_BIN NATIVE_BIN SOURCE_DIR WORK_DIR
# WINDOWS_BIN holds tomiks.exe, marketgate.dll, TOMIKS.dll and SPOINKA.dll;
# NATIVE_BIN the Linux tomiks, marketgate.so and mockgate. Exit 77: skipped
# (no Wine or no Linux build to compare with).
set -u

windows_bin=$1
native_bin=$2
source_dir=$3
work=$4

shop=$source_dir/data/sample-shop.json
answers=$source_dir/data/sample-answers.txt
wine=${WINE32_RUN:-/usr/local/bin/wine32-run}

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
failures=0

[ -x "$wine" ] || skip "no Wine runner $wine (tools/wine32/setup-and-smoke.sh sets it up)"
for program in tomiks mockgate marketgate.so; do
  [ -e "$native_bin/$program" ] || skip "no Linux build to compare with: $native_bin/$program is missing (build the default preset first)"
done
for module in tomiks.exe marketgate.dll TOMIKS.dll SPOINKA.dll; do
  [ -e "$windows_bin/$module" ] || { echo "FAILED: $windows_bin/$module is missing"; exit 1; }
done

rm -rf "$work"
mkdir -p "$work"

# --- the two order services ---------------------------------------------------
mockgate_pids=()
stop_services() {
  for pid in "${mockgate_pids[@]}"; do kill -TERM "$pid" 2> /dev/null; done
  for pid in "${mockgate_pids[@]}"; do wait "$pid" 2> /dev/null; done
  mockgate_pids=()
}
trap stop_services EXIT

# start_service SIDE [MOCKGATE OPTIONS]: mockgate on a free port; sets port_SIDE.
start_service() {
  local side=$1 dir=$work/service-$1
  shift
  mkdir -p "$dir"
  "$native_bin/mockgate" --data "$shop" --port 0 --log "$dir/requests.log" --state-out "$dir/state.json" "$@" \
    > "$dir/output.txt" 2> "$dir/errors.txt" < /dev/null &
  mockgate_pids+=($!)
  local tries=0
  until grep -q "^listening on [0-9]*$" "$dir/output.txt" 2> /dev/null; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ]; then
      echo "FAILED: mockgate did not start: $(cat "$dir/errors.txt")"
      exit 1
    fi
    sleep 0.05
  done
  printf -v "port_$side" '%s' "$(sed -n 's/^listening on //p' "$dir/output.txt")"
}

start_service linux
start_service windows

# --- the two hosts ------------------------------------------------------------------
token=$(sed -n 's/^ *"token": *"\([^"]*\)".*/\1/p' "$shop" | head -n 1)
for side in linux windows; do
  mkdir -p "$work/host-$side"
  printf '[API]\nKey=%s\n' "$token" > "$work/host-$side/marketgate.ini"
done

# run SIDE NAME WORDS...: one tomiks command; its output in $work/NAME-SIDE.txt
# with LF line ends and the plug-in's file name as on Windows.
run() {
  local side=$1 name=$2
  shift 2
  local raw=$work/$name-$side.raw status
  if [ "$side" = linux ]; then
    "$native_bin/tomiks" --workdir "$work/host-linux" --service "http://127.0.0.1:$port_linux" --plain "$@" \
      > "$raw" 2>&1 < /dev/null
    status=$?
  else
    "$wine" "$windows_bin/tomiks.exe" --workdir "Z:$work/host-windows" --service "http://127.0.0.1:$port_windows" \
      --plain "$@" > "$raw" 2>&1 < /dev/null
    status=$?
  fi
  perl -pe 's/\r\n/\n/g; s/marketgate\.so/marketgate.dll/g; s/^Service: http:\/\/127\.0\.0\.1:\d+/Service: http:\/\/127.0.0.1:PORT/' "$raw" > "$work/$name-$side.txt"
  if [ $status -ne 0 ]; then
    fail "tomiks $* on $side ended with status $status"
    sed 's/^/  | /' "$work/$name-$side.txt" | tail -n 20
  fi
}

same_output() {
  local name=$1
  if ! cmp -s "$work/$name-linux.txt" "$work/$name-windows.txt"; then
    fail "the Windows build's \"$name\" differs from the Linux build's"
    diff "$work/$name-linux.txt" "$work/$name-windows.txt" | head -n 20 | sed 's/^/  | /'
  fi
}

# --- 1. import -----------------------------------------------------------------------
run linux import --answers "$answers" import
run windows import --answers "Z:$answers" import
same_output import

kept() { ls "$work/host-$1/imported/"* 2> /dev/null; }
linux_file=$(kept linux | head -n 1)
windows_file=$(kept windows | head -n 1)
if [ -z "$linux_file" ] || [ -z "$windows_file" ]; then
  fail "the universal import kept no import file (linux: ${linux_file:-none}, windows: ${windows_file:-none})"
else
  [ "$(kept windows | wc -l)" -eq 1 ] || fail "the Windows import kept more than one file"
  grep -q '^\[Dokument\]' "$linux_file" || fail "the Linux import file holds no document"
  perl -pe 's/\n/\r\n/' "$linux_file" > "$work/expected-windows.edi"
  if ! cmp -s "$work/expected-windows.edi" "$windows_file"; then
    fail "the Windows import file is not the Linux one with CR LF line ends"
    perl -pe 's/\r\n/\n/g' "$windows_file" | diff "$linux_file" - | head -n 20 | sed 's/^/  | /'
  fi
  perl -0777 -ne 'exit(/(?<!\r)\n/ ? 1 : 0)' "$windows_file" || fail "the Windows import file has a line feed without CR"
  perl -0777 -ne 'exit(/\r\n/ ? 0 : 1)' "$windows_file" || fail "the Windows import file has no CR LF line ends"
fi

# --- 2. handle one document ---------------------------------------------------------
# The first receipt's order; it stands in the outgoing status now, and the
# user chose a further one ("Statusy": position 2) before handling it.
order=$(perl -ne 'if (/^NrPar=(\d+)/ || /Zam:(\d+)/) { print $1; exit }' "${linux_file:-/dev/null}")
if [ -z "$order" ]; then
  fail "no order number in the import file"
else
  status_id=$(perl -0777 -ne 'my @ids = /"statuses".*?\]/s ? ($& =~ /"id":\s*(\d+)/g) : (); print $ids[2] // ""' "$shop")
  for side in linux windows; do
    perl -pi -e 's/^StatusWyPoz=.*/StatusWyPoz=2/; s/^StatusWy=.*/StatusWy='"$status_id"'/' \
      "$work/host-$side/marketgate.ini"
  done
  run linux handle handle "$order"
  run windows handle handle "$order"
  same_output handle
  grep -q "\"order_id\":$order,\"status_id\":$status_id}" "$work/service-windows/requests.log" ||
    fail "the Windows build did not move order $order to status $status_id"
fi

# --- 3. diagnosis on an incompatible host (interface level 111) ---------------------
run linux diagnose --level 111 diagnose
run windows diagnose --level 111 diagnose
same_output diagnose
stops=$(grep -c '^\[titled: STOP!!!\]' "$work/diagnose-windows.txt")
[ "$stops" -eq 1 ] || fail "the diagnosis showed $stops \"STOP!!!\" messages instead of one"
grep -q 'w różnych wersjach' "$work/diagnose-windows.txt" ||
  fail "the diagnosis does not tell of different versions"

# --- 4. two imports at once in one working directory --------------------------------
# The first to take the import lock keeps it while the service is slow to
# give its statuses; the other ends at once.
start_service concurrent --fault getOrderStatusList:1:slow:8000
mkdir -p "$work/host-concurrent"
printf '[API]\nKey=%s\n[Statusy]\nStatusWePoz=0\nStatusWyPoz=1\n[Opcje]\nZamowieniaCzyParagony=1\n' "$token" \
  > "$work/host-concurrent/marketgate.ini"
# concurrent_import NAME WORDS...: its output in $work/concurrent-NAME.txt
concurrent_import() {
  local name=$1
  shift
  "$wine" "$windows_bin/tomiks.exe" --workdir "Z:$work/host-concurrent" --service "http://127.0.0.1:$port_concurrent" \
    --plain --quiet "$@" > "$work/concurrent-$name.txt" 2>&1 < /dev/null
}
concurrent_import first import &
first=$!
concurrent_import second import &
second=$!
wait $first
wait $second
busy=$(cat "$work/concurrent-first.txt" "$work/concurrent-second.txt" | grep -c 'jest już uruchomiony')
[ "$busy" -eq 1 ] || fail "two imports at once: $busy of them ended as another import ran, instead of one"
concurrent_import third import
concurrent_import documents documents --tsv
booked=$(cut -f 4 "$work/concurrent-documents.txt" | tr -d '\r' | sort)
[ "$(printf '%s\n' "$booked" | grep -c .)" -eq 29 ] && [ -z "$(printf '%s\n' "$booked" | uniq -d)" ] ||
  fail "the imports did not store the shop's 29 orders once: $(printf '%s\n' "$booked" | uniq -c | tr '\n' ' ')"

# --- both services end in the same state ---------------------------------------------
stop_services
if ! cmp -s "$work/service-linux/state.json" "$work/service-windows/state.json"; then
  fail "the order service ends in another state after the Windows build's work"
  diff "$work/service-linux/state.json" "$work/service-windows/state.json" | head -n 20 | sed 's/^/  | /'
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed; files in $work"
  exit 1
fi
echo "tomiks.exe under Wine: import, handling and diagnosis as on Linux"
exit 0
