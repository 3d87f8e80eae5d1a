#!/usr/bin/env bash
# vrayu-registry: dump, load into another store, dump again; a bad text is
# refused and changes nothing; a dump through a link replaces the target.
set -euo pipefail
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export VRAYU_REGISTRY_DIR=$dir/one
mkdir -p "$dir/one"
printf 'VRAYU-REGISTRY 1\n\n[Software\\App]\n"Name"=sz:"x%%22y"\n"n"=dword:0000002A\n' > "$dir/one/HKEY_LOCAL_MACHINE.reg"
"$tool" dump HKLM > "$dir/dump1"
cmp "$dir/dump1" <(printf 'VRAYU-REGISTRY 1\n\n[Software]\n\n[Software\\App]\n"Name"=sz:"x%%22y"\n"n"=dword:0000002A\n')
VRAYU_REGISTRY_DIR=$dir/two "$tool" load HKEY_LOCAL_MACHINE "$dir/dump1"
VRAYU_REGISTRY_DIR=$dir/two "$tool" dump hklm "$dir/dump2"
cmp "$dir/dump1" "$dir/dump2"
[[ $(stat -c %a "$dir/dump2") == 600 ]]
if echo garbage | VRAYU_REGISTRY_DIR=$dir/two "$tool" load HKLM - 2> "$dir/err"; then exit 1; fi
grep -q 'unchanged' "$dir/err"
VRAYU_REGISTRY_DIR=$dir/two "$tool" dump HKLM | cmp - "$dir/dump1"
ln -s dump2 "$dir/link"
: > "$dir/dump2"
"$tool" dump HKLM "$dir/link"
[[ -L $dir/link ]] && cmp "$dir/dump1" "$dir/dump2"
if "$tool" dump HKEY_NOWHERE 2> /dev/null; then exit 1; fi
echo ok
