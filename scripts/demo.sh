#!/usr/bin/env bash
# Shows the plug-in at work in the host stand-in, end to end: builds what
# is needed, starts the order service stand-in (mockgate) with the sample
# shop, imports its new orders through the plug-in's command (the dialog on
# the terminal, or the sample answers when there is no terminal), lists the
# imported documents and the orders whose status moved, handles one
# document so that the plug-in pushes its order's status, and stops the
# service. Nothing outside a temporary folder is touched but build/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Installs what the demo needs and is missing (with sudo when not root);
# does nothing when all is there.
scripts/install-deps.sh demo

echo "== Building the plug-in, the host stand-in 'tomiks' and the service stand-in 'mockgate' (build/)"
mkdir -p build
if [ ! -f build/CMakeCache.txt ]; then
  cmake --preset default > build/demo-configure.log 2>&1 || { cat build/demo-configure.log; exit 1; }
fi
cmake --build build -j2 --target tomiks marketgate mockgate > build/demo-build.log 2>&1 ||
  { tail -n 40 build/demo-build.log; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/marketgate-demo.XXXXXX")
mockgate_pid=""
cleanup() {
  if [ -n "$mockgate_pid" ]; then
    kill "$mockgate_pid" 2> /dev/null || true
    wait "$mockgate_pid" 2> /dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

shop=$root/data/sample-shop.json
echo "== Starting mockgate with $(basename "$shop")"
build/bin/mockgate --data "$shop" --port 0 --log "$work/requests.log" --state-out "$work/shop-after.json" \
  > "$work/mockgate.out" 2>&1 &
mockgate_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening on \([0-9]*\)$/\1/p' "$work/mockgate.out" | head -n 1)
  [ -n "$port" ] && break
  kill -0 "$mockgate_pid" 2> /dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "demo: mockgate did not start:" >&2
  cat "$work/mockgate.out" >&2
  exit 1
fi
url=http://127.0.0.1:$port
echo "   listening on $url"

# The host's working directory, with the shop's API key already entered in
# the plug-in's options (otherwise the plug-in asks for it).
host=$work/host
mkdir -p "$host"
token=$(sed -n 's/^ *"token": *"\([^"]*\)".*/\1/p' "$shop" | head -n 1)
printf '[API]\nKey=%s\n' "$token" > "$host/marketgate.ini"
# The host's exchange rate of the sample shop's foreign currency, so that its
# EUR orders are converted.
printf '[Service]\nBaseUrl=\n\n[ExchangeRates]\nEUR=4.2834\n' > "$host/tomiks.ini"
echo "   the host's exchange rate: EUR=4.2834 (tomiks.ini)"
tomiks=("$root/build/bin/tomiks" --workdir "$host" --service "$url" --plain)

echo
if [ -t 0 ] && [ -t 1 ]; then
  echo "== tomiks import: choose the options in the dialog (arrows/Tab to move, F12 to import, ESC to cancel)"
  echo "   Suggested: orders in 'Nowe', set to 'W realizacji', loaded as receipts/invoices."
  "${tomiks[@]}" import || echo "   (tomiks ended with status $?: the import was cancelled or failed)"
else
  echo "== tomiks import, answering the dialog from data/sample-answers.txt"
  "${tomiks[@]}" --answers "$root/data/sample-answers.txt" import
fi

# "order_id":N ... "status_id":M of every setOrderStatus the service got.
status_moves() {
  sed -n 's/.*"method": *"setOrderStatus".*"order_id": *\([0-9]*\), *"status_id": *\([0-9]*\).*/\1 \2/p' \
    "$work/requests.log"
}
status_name() {
  tr -d '\n' < "$shop" | grep -o "\"id\": *$1, *\"name\": *\"[^\"]*\"" | head -n 1 | sed 's/.*"name": *"\([^"]*\)"/\1/'
}

echo
echo "== Orders whose status the plug-in moved during the import"
moves=$(status_moves)
if [ -z "$moves" ]; then
  echo "   none (customer orders are taken over without a status change)"
else
  for status in $(cut -d' ' -f2 <<< "$moves" | sort -u); do
    orders=$(awk -v s="$status" '$2 == s { print $1 }' <<< "$moves" | sort -u)
    echo "   $(wc -l <<< "$orders") orders to $status ($(status_name "$status")):"
    tr '\n' ' ' <<< "$orders" | fold -s -w 72 | sed 's/^/     /'
    echo
  done
fi

# The first order the import moved on, else the last stored document.
first_order=$(status_moves | head -n 1 | cut -d' ' -f1)
echo
echo "== The order ships: the user sets the outgoing status to 'Wysłane' and handles its document"
sed -i 's/^StatusWyPoz=.*/StatusWyPoz=2/' "$host/marketgate.ini"
before=$(status_moves | wc -l)
"${tomiks[@]}" handle $first_order || echo "   (tomiks ended with status $?)"
status_moves | tail -n +"$((before + 1))" | while read -r order status; do
  echo "   order $order -> $status ($(status_name "$status"))"
done

echo
echo "== Stopping mockgate; the service's orders by status, before and after"
kill "$mockgate_pid"
wait "$mockgate_pid" 2> /dev/null || true
mockgate_pid=""
# One "order_status_id" per order, in the shop file and in the state file.
count_statuses() { grep -o '"order_status_id": *[0-9]*' "$1" | grep -o '[0-9]*$' | sort | uniq -c; }
for status in $(count_statuses "$shop" | awk '{ print $2 }'; count_statuses "$work/shop-after.json" | awk '{ print $2 }'); do
  echo "$status"
done | sort -u | while read -r status; do
  before=$(count_statuses "$shop" | awk -v s="$status" '$2 == s { print $1 }')
  after=$(count_statuses "$work/shop-after.json" | awk -v s="$status" '$2 == s { print $1 }')
  printf '   %3s -> %3s  %s\n' "${before:-0}" "${after:-0}" "$(status_name "$status")"
done
echo "Done."
