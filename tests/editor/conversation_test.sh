#!/usr/bin/env bash
# The editor as a conversation server: VrayuEditor runs offscreen on the
# private session bus of dbus-run-session, with its own settings, registry
# store and XDG folders, and Tarn script cases drive it.
#   conversation_test.sh EDITOR TARN RUN_CASES CASE_FILE
set -uo pipefail
editor=$1 tarn=$2 runner=$3 cases=$4
[[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]] || { echo "no private session bus" >&2; exit 1; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vrayudde.XXXXXX")
mkdir -p "$tmp/config" "$tmp/data" "$tmp/state" "$tmp/cache" "$tmp/registry"
env HOME="$tmp" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_STATE_HOME="$tmp/state" \
    XDG_CACHE_HOME="$tmp/cache" VRAYU_REGISTRY_DIR="$tmp/registry" QT_QPA_PLATFORM=offscreen \
    "$editor" > "$tmp/editor.log" 2>&1 &
pid=$!
up=0
for _ in $(seq 300); do
    busctl --user status org.vrayu.Conversation.vrayueditor > /dev/null 2>&1 && { up=1; break; }
    sleep 0.1
done
rc=1
if [[ $up == 1 ]]; then
    bash "$runner" "$tarn" "$cases"
    rc=$?
else
    echo "the editor did not offer its service:" >&2
    cat "$tmp/editor.log" >&2
fi
kill "$pid" 2> /dev/null
wait "$pid" 2> /dev/null
rm -rf "$tmp"
exit $rc
