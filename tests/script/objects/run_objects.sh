#!/usr/bin/env bash
# Runs the object cases on a private session bus: dbus-run-session starts
# a bus for this script alone, the test service joins it, the cases run,
# and the bus ends with the script.
#   run_objects.sh TARN TEST_SERVICE RUN_CASES CASE_FILE
set -euo pipefail
if [[ ${1:-} != --inside ]]; then
    exec dbus-run-session -- bash "$0" --inside "$@"
fi
shift
tarn=$1 service=$2 run_cases=$3 cases=$4
dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnobjects.XXXXXX")
export TARN_NOTIFY_LOG=$dir/notifications.log
"$service" "$TARN_NOTIFY_LOG" > "$dir/service.out" &
pid=$!
stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$dir"
}
trap stop EXIT
for _ in $(seq 100); do
    grep -q ready "$dir/service.out" && break
    kill -0 $pid || { echo "the test service ended"; exit 1; }
    sleep 0.1
done
grep -q ready "$dir/service.out" || { echo "the test service did not start"; exit 1; }
status=0
bash "$run_cases" "$tarn" "$cases" || status=$?
exit $status
