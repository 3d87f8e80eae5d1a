#!/usr/bin/env bash
# wallpaper() against a fake desktop portal on a private session bus (no
# service activation, so no real portal can start), and its fallback to
# GNOME's background settings in a private keyfile store. The machine's own
# wallpaper is never touched.
#   wallpaper_test.sh TARN
set -uo pipefail
tarn=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnwall.XXXXXX")
pid=""
trap '[[ -n $pid ]] && kill "$pid"; rm -rf "$dir"' EXIT
cat > "$dir/bus.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:dir=$dir</listen>
  <auth>EXTERNAL</auth>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
if [[ -z ${WALLPAPER_TEST_INNER:-} ]]; then
    exec env WALLPAPER_TEST_INNER=1 dbus-run-session --config-file="$dir/bus.conf" -- bash "$0" "$@"
fi
fail() { echo "FAIL: $*"; exit 1; }
cd "$dir"
printf 'P3\n1 1\n255\n0 0 0\n' > "my pic.ppm"
export HOME=$dir XDG_CONFIG_HOME=$dir/config GSETTINGS_BACKEND=keyfile TARN_SOUND=off TARN_WINDOWS_DIR=$dir/win

# No portal: GNOME's settings, tiled.
out=$(timeout 60 "$tarn" --ui quiet --dump r -c 'r = wallpaper("my pic.ppm", 1)')
grep -qx r=1 <<< "$out" || fail "fallback gave $out"
grep -q "picture-uri='file://$dir/my%20pic.ppm'" "$dir/config/glib-2.0/settings/keyfile" || fail "no picture-uri in the keyfile"
grep -q "picture-options='wallpaper'" "$dir/config/glib-2.0/settings/keyfile" || fail "not tiled"

# A missing picture is 0 and asks nobody.
out=$(timeout 60 "$tarn" --ui quiet --dump r -c 'r = wallpaper("none.png", 0)')
grep -qx r=0 <<< "$out" || fail "missing picture gave $out"

# The portal, once it is on the bus, gets the request.
/usr/bin/python3 "$here/fake_wallpaper_portal.py" "$dir/portal.log" &
pid=$!
for _ in $(seq 100); do
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.freedesktop.portal.Desktop 2>/dev/null | grep -q true && break
    sleep 0.1
done
out=$(timeout 60 "$tarn" --ui quiet --dump r -c 'r = wallpaper("my pic.ppm", 0)')
grep -qx r=1 <<< "$out" || fail "portal gave $out"
grep -qx "file://$dir/my%20pic.ppm set-on=background show-preview=0" "$dir/portal.log" || fail "portal log: $(cat "$dir/portal.log" 2>/dev/null)"
echo "wallpaper: all passed"
