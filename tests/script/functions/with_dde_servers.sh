#!/usr/bin/env bash
# Runs a command beside the test conversation servers, on the session bus
# the caller gives (run it under dbus-run-session, never on a real one):
#   with_dde_servers.sh SERVE COMMAND...
# "TestServ": "Data" (folder $DDE_DIR/data), "Prog" (the program $DDE_DIR/prog)
# "TestServ2": "Frozen" (folder $DDE_DIR/frozen, read-only)
# "SlowServ": "Data" (folder $DDE_DIR/data), each answer after 1500 ms
set -uo pipefail
serve=$1
shift
[[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]] || { echo "no private session bus" >&2; exit 1; }
DDE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tarndde.XXXXXX")
export DDE_DIR
mkdir "$DDE_DIR/data" "$DDE_DIR/frozen"
printf 'hello\0hidden' > "$DDE_DIR/data/greeting"
printf 'cold' > "$DDE_DIR/frozen/ice"
cat > "$DDE_DIR/prog" <<'PROG'
#!/bin/sh
case $1 in
  request) [ "$2" = Topic ] && printf '%s' "$TARN_DDE_TOPIC" && exit 0; [ "$2" = Echo ] && cat "$DDE_DIR/echo" && exit 0; exit 1 ;;
  poke) cat > "$DDE_DIR/echo" ;;
  execute) [ "$2" = "[Fail]" ] && exit 3; exit 0 ;;
esac
PROG
chmod +x "$DDE_DIR/prog"
pids=()
start() {
    local ready=$DDE_DIR/ready.${#pids[@]}
    "$serve" --ready "$@" > "$ready" &
    pids+=($!)
    for _ in $(seq 200); do
        [[ $(cat "$ready") == ready ]] && return
        sleep 0.05
    done
    echo "server $* did not start" >&2
    exit 1
}
start --folder "Data=$DDE_DIR/data" --program "Prog=$DDE_DIR/prog" TestServ
start --folder "Frozen=$DDE_DIR/frozen" --read-only TestServ2
start --delay 1500 --folder "Data=$DDE_DIR/data" SlowServ
"$@"
rc=$?
for p in "${pids[@]}"; do kill "$p"; done
wait
rm -rf "$DDE_DIR"
exit $rc
