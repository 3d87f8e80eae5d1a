#!/usr/bin/env bash
# cmake --install puts the program, its shipped files, the desktop entry and
# the icon where a desktop finds them.
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$BUILD_DIR" --prefix "$prefix" --component Unspecified > /dev/null
fail=0
for f in bin/VrayuEditor bin/libVrayu.so bin/cjpeg bin/djpeg bin/VrayuHelp.htm bin/frmEditor.tel1.state \
         share/applications/vrayu-editor.desktop \
         share/icons/hicolor/scalable/apps/vrayu-editor.svg; do
  [[ -e $prefix/$f ]] || { echo "missing after install: $f"; fail=1; }
done
desktop=$prefix/share/applications/vrayu-editor.desktop
for line in 'Type=Application' 'Exec=VrayuEditor' 'Icon=vrayu-editor' 'Name=Vrayu Editor'; do
  grep -qx "$line" "$desktop" || { echo "desktop entry lacks: $line"; fail=1; }
done
"$prefix/bin/VrayuEditor" --version | grep -qx 'VrayuEditor [0-9]*\.[0-9]*\.[0-9]*' || { echo "bad --version"; fail=1; }
"$prefix/bin/VrayuEditor" --help | grep -q -- '--screenshot' || { echo "bad --help"; fail=1; }
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/VrayuEditor" 2> "$prefix/err" && { echo "started without a display"; fail=1; }
grep -q 'xvfb-run' "$prefix/err" || { echo "no Xvfb hint without a display"; fail=1; }
exit $fail
