#!/usr/bin/env bash
# tarn-menu on a private X server with openbox: hot keys pressed while
# another program's window has the focus run their items; a key that is not
# a hot key runs nothing and the focus stays where it was.
set -euo pipefail
menu_bin=$1
for tool in Xvfb openbox xdotool xmessage; do
  command -v "$tool" >/dev/null || { echo "$tool missing"; exit 1; }
done
tmp=$(mktemp -d)
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
cleanup() {
  for pid in ${menu:-} ${other:-} ${wm:-} $xvfb; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
for _ in $(seq 100); do [[ -s $tmp/display ]] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$tmp/display")"
export HOME=$tmp TARN_WINDOWS_DIR=$tmp/windows VRAYU_REGISTRY_DIR=$tmp/registry TARN_SYSTEM_ACTIONS=refuse
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm=$!
sleep 0.5

item() {  # item TITLE FILE TEXT: an item writing TEXT into FILE
  printf ' %s\n\th = fileopen("%s", "WRITE")\n\tr = filewrite(h, "%s")\n\tr = fileclose(h)\n' "$1" "$2" "$3"
}
{
  printf '&Files\n'
  item $'&Mark\tCtrl+Alt+M' "$tmp/mark.txt" marked
  item $'&Nine\tF9' "$tmp/nine.txt" nine
  item $'&Typing\tQ' "$tmp/q.txt" typed
} >"$tmp/test.mnu"

QT_QPA_PLATFORM=xcb "$menu_bin" --no-tray --quiet "$tmp/quiet.log" "$tmp/test.mnu" >"$tmp/menu.log" 2>&1 &
menu=$!
timeout 15 xdotool search --sync --name '^Tarn Menu - test.mnu$' >/dev/null
xmessage -title Other 'another program' &
other=$!
other_window=$(timeout 15 xdotool search --sync --name '^Other$' | head -1)
xdotool windowactivate --sync "$other_window"

fail() { echo "FAIL: $*"; cat "$tmp/menu.log"; exit 1; }
wait_for() {  # wait_for FILE TEXT
  for _ in $(seq 50); do [[ -f $1 ]] && grep -q "^$2" "$1" && return 0; sleep 0.1; done
  return 1
}
xdotool key ctrl+alt+m
wait_for "$tmp/mark.txt" marked || fail "Ctrl+Alt+M did not run its item"
xdotool key F9
wait_for "$tmp/nine.txt" nine || fail "F9 did not run its item"
xdotool key q ctrl+alt+n
sleep 0.5
[[ ! -e $tmp/q.txt ]] || fail "a plain letter was taken from the window that has the focus"
[[ $(xdotool getactivewindow) == "$other_window" ]] || fail "the focus moved"
echo "2 passed, 0 failed"
