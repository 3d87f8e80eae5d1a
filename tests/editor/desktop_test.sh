#!/usr/bin/env bash
# Runs the editor's desktop tests on a private X server with openbox.
set -euo pipefail
command -v Xvfb >/dev/null && command -v openbox >/dev/null || { echo "Xvfb or openbox missing"; exit 1; }
tmp=$(mktemp -d)
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
cleanup() { kill "${wm:-}" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$tmp"; }
trap cleanup EXIT
for _ in $(seq 100); do [[ -s $tmp/display ]] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$tmp/display")"
HOME="$tmp" openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm=$!
sleep 0.5
QT_QPA_PLATFORM=xcb "$DESKTOP_TESTS" "$@"
