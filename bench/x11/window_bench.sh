#!/usr/bin/env bash
# Times the window family on a private desktop (run by hand, never in CTest):
# "winexist" over 200 windows (a name no window has, so every title is read)
# and "sendkey" of 1,000 characters with key delay 0, in keys per second.
#   bench/x11/window_bench.sh BUILD-DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
run() {
    export CASE
    CASE=$(mktemp -d)
    "$build/bin/tarn_test_window" "Bench Window" --count 200 >/dev/null 2>&1 &
    "$build/bin/tarn_test_window" "Key Sink" --keys "$CASE/keys" >/dev/null 2>&1 &
    cat > "$CASE/bench.tarn" <<'T'
a = winwaitexist("Bench Window 200~", 30) + winwaitexist("Key Sink", 30)
t0 = gettickcount()
for i = 1 to 20
n = winexist("No Such Window")
next
exist_ms = (gettickcount() - t0) / 20
r = winactivate("Key Sink")
text = strfill("abcdefghij", 1000)
t0 = gettickcount()
k = sendkey(text)
send_ms = gettickcount() - t0
T
    "$build/bin/tarn" --ui quiet --dump a,exist_ms,send_ms,k "$CASE/bench.tarn"
    sleep 1
    echo "keys received: $(wc -l < "$CASE/keys")"
    rm -rf "$CASE"
}
export -f run
export build
bash "$top/tests/platform/x11/with_desktop.sh" bash -c run
