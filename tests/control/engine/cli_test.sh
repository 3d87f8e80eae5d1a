#!/usr/bin/env bash
# Runs the built vrayu-convert as a user would.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

out=$(printf svAgatam | "$VRAYU_CONVERT" | od -An -tu1 | tr -s ' ')
[[ $out == " 179 194 237 143 193 156 193 207" ]] || fail "svAgatam gave '$out'"

out=$(printf 'k|' | "$VRAYU_CONVERT" --font abTelugu | od -An -tu1 | tr -s ' ')
[[ $out == " 107 39 33" ]] || fail "abTelugu gave '$out'"

# Output adds nothing: no trailing newline appears, and line ends pass through.
printf 'ka\r\nka\n' > "$tmp/in.txt"
out=$("$VRAYU_CONVERT" "$tmp/in.txt" | od -An -tu1 | tr -s ' ')
[[ $out == " 141 193 13 10 141 193 10" ]] || fail "file input gave '$out'"

"$VRAYU_CONVERT" --html "$tmp/in.txt" > "$tmp/page.htm"
grep -q '<font size="5" color="#000000" face="Vrayu" > ' "$tmp/page.htm" || fail "--html font tag"
grep -q 'bgcolor="#FFFFFF"' "$tmp/page.htm" || fail "--html background"
[[ $(grep -o '<br>' "$tmp/page.htm" | wc -l) == 2 ]] || fail "--html line breaks"
"$VRAYU_CONVERT" --html --font=abTelugu "$tmp/in.txt" | grep -q 'face="abTelgu"' || fail "--html abTelugu face"

"$VRAYU_CONVERT" "$SAMPLES/welcome.txt" > /dev/null || fail "sample"

# Unicode out, and glyph codes decoded back to the same Unicode.
out=$(printf 'svAgatam #OK# mO' | "$VRAYU_CONVERT" --unicode)
[[ $out == "స్వాగతం OK మో" ]] || fail "--unicode gave '$out'"
"$VRAYU_CONVERT" "$SAMPLES/welcome.txt" > "$tmp/welcome.tel"
"$VRAYU_CONVERT" --decode "$tmp/welcome.tel" > "$tmp/decoded.txt"
"$VRAYU_CONVERT" --unicode "$SAMPLES/welcome.txt" > "$tmp/unicode.txt"
cmp -s "$tmp/decoded.txt" "$tmp/unicode.txt" || fail "--decode of the sample differs from --unicode"
[[ -s $tmp/unicode.txt ]] || fail "--unicode of the sample is empty"

# Unicode Telugu back to RIT, and through --unicode to the same Telugu.
"$VRAYU_CONVERT" --unicode "$SAMPLES/welcome.txt" | "$VRAYU_CONVERT" --from-unicode > "$tmp/rit.txt" ||
  fail "--from-unicode of the sample reported inexact places"
"$VRAYU_CONVERT" --unicode "$tmp/rit.txt" | cmp -s - "$tmp/unicode.txt" || fail "--from-unicode round trip"

set +e
out=$(printf 'సంయోగం' | "$VRAYU_CONVERT" --from-unicode 2>"$tmp/err"); rc=$?
[[ $rc == 3 && $out == saMyOgaM ]] && grep -q '1 place' "$tmp/err" || fail "inexact: rc=$rc out=$out"
"$VRAYU_CONVERT" --bogus </dev/null 2>"$tmp/err"; rc=$?
[[ $rc == 2 ]] && grep -q "unknown option '--bogus'" "$tmp/err" || fail "unknown option: rc=$rc"
"$VRAYU_CONVERT" --font Arial </dev/null 2>"$tmp/err"; rc=$?
[[ $rc == 2 ]] || fail "unknown font: rc=$rc"
"$VRAYU_CONVERT" --unicode --html </dev/null 2>"$tmp/err"; rc=$?
[[ $rc == 2 ]] && grep -q "exclude each other" "$tmp/err" || fail "--unicode --html: rc=$rc"
"$VRAYU_CONVERT" --decode --font abTelugu </dev/null 2>"$tmp/err"; rc=$?
[[ $rc == 2 ]] && grep -q 'glyph codes only' "$tmp/err" || fail "--decode --font abTelugu: rc=$rc"
"$VRAYU_CONVERT" "$tmp/missing.txt" 2>"$tmp/err"; rc=$?
[[ $rc == 1 ]] && grep -q "cannot read" "$tmp/err" || fail "missing file: rc=$rc"
set -e
"$VRAYU_CONVERT" --help | grep -q Usage || fail "--help"
"$VRAYU_CONVERT" --version | grep -q '^vrayu-convert [0-9]' || fail "--version"
echo "cli: all checks passed"
