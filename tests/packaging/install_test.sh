#!/usr/bin/env bash
# Installs every component into a temporary prefix and checks what a desktop
# and a developer find there: the program directory and its launchers, the
# desktop files (validated), man pages (no warnings), and a tiny host built
# against the installed development files only, with CMake and pkg-config.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr
cmake --install "$BUILD_DIR" --prefix "$prefix" > /dev/null
src=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
fail=0
err() { echo "$*"; fail=1; }

libdir=$(cd "$prefix" && dirname "$(find lib -name libtarnproc.so.4)")
for f in lib/vrayu/VrayuEditor lib/vrayu/libVrayu.so lib/vrayu/cjpeg lib/vrayu/djpeg lib/vrayu/glyfa.ttf \
         lib/vrayu/VrayuHelp.htm lib/vrayu/frmEditor.tel1.state lib/vrayu/OFL.txt \
         share/fonts/truetype/vrayu/glyfa.ttf share/icons/hicolor/48x48/apps/vrayu-editor.png \
         share/icons/hicolor/scalable/apps/vrayu-editor.svg share/mime/packages/vrayu.xml \
         share/bash-completion/completions/tarn share/doc/vrayu/copyright \
         "$libdir"/libtarnproc.so.4 include/tarnproc/tarnproc.h "$libdir"/pkgconfig/tarnproc.pc; do
  [[ -e $prefix/$f ]] || err "missing after install: $f"
done
[[ -x $prefix/lib/vrayu/libVrayu.so ]] && err "libVrayu.so is executable"
[[ $(objdump -p "$prefix/$libdir/libtarnproc.so.4" | awk "/SONAME/ {print \$2}") == libtarnproc.so.4 ]] || err "no versioned SONAME"

# Launchers work through their links.
[[ $(printf svAgatam | "$prefix/bin/vrayu-convert" --unicode) == 'స్వాగతం' ]] || err "vrayu-convert launcher"
[[ $(TARN_WINDOWS_DIR=$work/win "$prefix/bin/tarn" -c 'x = 6 * 7' --dump x) == x=42 ]] || err "tarn launcher"
"$prefix/bin/VrayuEditor" --version | grep -qx 'VrayuEditor [0-9]*\.[0-9]*\.[0-9]*' || err "bad --version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/VrayuEditor" 2> "$work/err" && err "started without a display"
grep -q 'xvfb-run' "$work/err" || err "no Xvfb hint without a display"

# Desktop files as the desktop's own tools read them.
for d in "$prefix"/share/applications/*.desktop; do
  desktop-file-validate "$d" || err "invalid: $d"
done
grep -qx 'Exec=VrayuEditor %F' "$prefix/share/applications/vrayu-editor.desktop" || err "editor entry takes no files"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml > "$work/as" || { cat "$work/as"; err "metainfo"; }
xmllint --noout "$prefix/share/mime/packages/vrayu.xml" || err "MIME file"
for page in "$prefix"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 > /dev/null)
  [[ -z $warnings ]] || err "man $page: $warnings"
done

# A host built from the installed files only (no source tree on any path).
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
cc -o "$work/tiny_pc" "$src/tiny_host/tiny_host.c" $(pkg-config --cflags --libs tarnproc) \
  -Wl,-rpath,"$prefix/$libdir" || err "pkg-config build"
[[ $("$work/tiny_pc" 'result = 6 * 7') == result=42 ]] || err "pkg-config host run"
cmake -S "$src/tiny_host" -B "$work/tiny" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" > /dev/null &&
  cmake --build "$work/tiny" > /dev/null || err "CMake package build"
[[ $("$work/tiny/tiny_host" 'result = 2 ** 3 ** 2') == result=64 ]] || err "CMake host run"
exit $fail
