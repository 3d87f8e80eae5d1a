#!/usr/bin/env bash
# Runs one .tarn case through the tarn host and checks what it declares in
# comment lines at its top:
#   ; options: --answers yes|no       extra tarn options
#   ; params: a "b c"                 parameters after the script
#   ; dump: a,b,c                     variables to print after the run
#   ; expect: a=3                     expected stdout lines, in order
#   ; status: 1                       expected exit status (default 0)
#   ; error: 3057                     stderr must hold "error 3057: <message>"
#   ; stderr: TEXT                    stderr must contain TEXT
#   ; stdin: TEXT                     lines typed at the console (default none)
set -uo pipefail
tarn=$(realpath "$1")
case_file=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TARN_WINDOWS_DIR=$work/windows VRAYU_REGISTRY_DIR=$work/registry HOME=$work
# Clock and session-end requests are only recorded, never made.
export TARN_SYSTEM_ACTIONS=record:$work/system-actions.log
# Questions go to the console (stdin), never to desktop windows.
unset DISPLAY WAYLAND_DISPLAY
cd "$(dirname "$case_file")"

header() { sed -n "s/^; $1: \\{0,1\\}//p" "$case_file" | tr -d "\r"; }
options=$(header options)
params=$(header params)
dump=$(header dump)
status=$(header status); status=${status:-0}
args=()
[[ -n $dump ]] && args+=(--dump "$dump")
# Options and parameters are written shell-quoted in the header.
eval "opts=($options)"
eval "pars=($params)"
header stdin >"$work/in"
"$tarn" "${opts[@]}" "${args[@]}" "$case_file" "${pars[@]}" >"$work/out" 2>"$work/err" <"$work/in"
rc=$?
fail=0
header expect >"$work/expected"
if ! diff -u "$work/expected" "$work/out"; then
  echo "FAIL: stdout differs"; fail=1
fi
if [[ $rc != "$status" ]]; then
  echo "FAIL: exit status $rc, expected $status"; fail=1
fi
while IFS= read -r code; do
  [[ -z $code ]] && continue
  if ! grep -q "^error $code: " "$work/err"; then
    echo "FAIL: no 'error $code:' on stderr"; fail=1
  fi
done < <(header error)
while IFS= read -r text; do
  [[ -z $text ]] && continue
  if ! grep -qF -- "$text" "$work/err"; then
    echo "FAIL: stderr lacks: $text"; fail=1
  fi
done < <(header stderr)
if ((fail)); then
  echo "--- stderr:"; cat "$work/err"
fi
exit $fail
