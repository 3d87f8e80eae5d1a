#!/usr/bin/env bash
# Runs a command on a private X desktop: Xvfb on a display number it picks
# itself (-displayfd) and openbox as window manager, both stopped afterwards.
#   with_desktop.sh COMMAND...
# The command sees DISPLAY; without Xvfb or openbox the test is skipped (77).
set -uo pipefail
command -v Xvfb >/dev/null && command -v openbox >/dev/null || { echo "Xvfb or openbox missing"; exit 77; }
dir=$(mktemp -d "${TMPDIR:-/tmp}/desktop.XXXXXX")
exec 3>"$dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -auth /dev/null >"$dir/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do [[ -s $dir/display ]] && break; sleep 0.05; done
if [[ ! -s $dir/display ]]; then echo "Xvfb did not start"; kill "$xvfb" 2>/dev/null; rm -rf "$dir"; exit 1; fi
export DISPLAY=:$(head -n1 "$dir/display")
HOME=$dir openbox --sm-disable >"$dir/openbox.log" 2>&1 &
wm=$!
# The window manager is ready once it names its check window.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done
unset WAYLAND_DISPLAY
"$@"
rc=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
rm -rf "$dir"
exit $rc
