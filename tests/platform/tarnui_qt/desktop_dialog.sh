#!/usr/bin/env bash
# tarn on a desktop: Xvfb and openbox of its own, the Qt dialogs chosen by
# default, a script-defined dialog answered with real key presses.
#   desktop_dialog.sh TARN SCREENSHOT
set -uo pipefail
tarn=$1 shot=$2
dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnqt.XXXXXX")
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
exec 3>"$dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -s $dir/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$dir/display")
openbox >/dev/null 2>&1 &
pids+=($!)
cat > "$dir/order.tarn" <<'TARN'
DlgFormat = "PELDLGED,5.0"
Dlgx = 20
Dlgy = 20
Dlgwidth = 180
Dlgheight = 90
DlgCaption = "Tarn order"
DlgNumControls = 6
Dlg01 = '8,8,50,12,STATICTEXT,DEFAULT,"Your name:"'
Dlg02 = '60,8,100,12,EDITBOX,name,""'
Dlg03 = '8,26,60,12,CHECKBOX,gift,"Gift wrap",1'
Dlg04 = '8,40,60,12,RADIOBUTTON,size,"Small",1'
Dlg05 = '8,54,60,12,RADIOBUTTON,size,"Large",2'
Dlg06 = '110,66,50,14,PUSHBUTTON,DEFAULT,"&Order",5'
size = 2
r = dialog("Dlg")
TARN
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$dir" TARN_WINDOWS_DIR="$dir" XDG_RUNTIME_DIR="$dir" \
    "$tarn" --dump r,name,gift,size "$dir/order.tarn" >"$dir/out" 2>"$dir/err" &
tpid=$!
pids+=($tpid)
# Wait for the dialog's window, then type into the focused edit box.
for _ in $(seq 100); do xdotool search --name "Tarn order" >/dev/null 2>&1 && break; sleep 0.1; done
win=$(xdotool search --name "Tarn order" | head -1)
[[ -n $win ]] || { echo "no dialog window"; cat "$dir/err"; exit 1; }
xdotool windowactivate --sync "$win" 2>/dev/null
sleep 0.3
xdotool type --delay 30 "Ravi"
xdotool key Tab space
sleep 0.3
command -v import >/dev/null && import -window root "$shot"
xdotool key Tab Tab Return
for _ in $(seq 50); do kill -0 $tpid 2>/dev/null || break; sleep 0.1; done
wait $tpid
cat "$dir/out"
grep -qx 'r=5' "$dir/out" && grep -qx 'name=Ravi' "$dir/out" && grep -qx 'gift=1' "$dir/out" &&
    grep -qx 'size=2' "$dir/out"
