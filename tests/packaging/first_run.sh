#!/bin/sh
# Run by tools/check-install inside a clean root, as a user who never ran the
# program: what a new user meets after `apt-get install`.
set -eu
cd
fail() { echo "first run: $*" >&2; exit 1; }
# The editor's first run registers the control in the user's registry store
# and finds the font: no manual step.
xvfb-run -a -s "-screen 0 1024x768x24" VrayuEditor --screenshot editor.png || fail "editor did not start"
test -s editor.png || fail "no screenshot"
cat > registered.tarn <<'TARN'
clsid = regqueryvalue(@regclasses, "Vrayu.Transliterate\CLSID")
server = regqueryvalue(@regclasses, strcat("CLSID\", clsid, "\InprocServer32"))
TARN
test "$(tarn --dump server registered.tarn)" = "server=/usr/lib/vrayu/libVrayu.so" || fail "control not registered"
fc-list | grep -qi vrayu || fail "font not found by fontconfig"
test "$(printf svAgatam | vrayu-convert --unicode)" = "స్వాగతం" || fail "vrayu-convert"
test "$(tarn -c 'x = 6 * 7' --dump x)" = "x=42" || fail "tarn"
cc -o tiny /tmp/host/tiny_host.c $(pkg-config --cflags --libs tarnproc) || fail "tiny host does not build"
test "$(./tiny 'result = 6 * 7')" = "result=42" || fail "tiny host"
echo "first run: passed"
