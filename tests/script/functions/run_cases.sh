#!/usr/bin/env bash
# Runs Tarn script cases through the tarn host, each in its own temporary
# folder with its own Windows directory.
#   run_cases.sh TARN CASE_FILE...
# A case file holds one or more cases, each beginning with a line ";--- name".
# Directives (comment lines inside a case):
#   ;@sh COMMAND      run COMMAND (bash) in the case folder before the script
#   ;@answers A|B     answers for the scripted Ui (else the quiet provider)
#   ;@console LINE    a line typed at the console provider (one per directive)
#   ;@quiet           run in quiet mode (--quiet=quiet.log)
#   ;@error N         the script must stop with error N
#   ;= name=value     after the run, variable name holds value ("\t" = tab)
#   ;@dump a,b        also write these variables to $CASE/dump
#   ;@check COMMAND   after the run, COMMAND (bash, in the folder) must succeed;
#                     $CASE is the case folder, $CASE/dump holds name=value lines,
#                     $CASE/stderr what tarn wrote there; $TARN is the host
#   ;@env NAME=VALUE  an environment variable for the run
#   ;@limit KB        run with at most KB kilobytes of address space (the case
#                     is skipped under AddressSanitizer, which needs more)
# Each case has its own registry store, $CASE/registry. Operations that
# change the machine (clock, session end) are only recorded, in
# $CASE/system-actions.log, and sounds in $CASE/sounds.log: no case ever
# reaches the real ones or is heard.
set -uo pipefail
tarn=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
export TARN=$tarn
shift
failures=0
total=0

run_case() {
    local file=$1 name=$2 body=$3
    total=$((total + 1))
    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/tarncase.XXXXXX")
    mkdir -p "$dir/win" "$dir/home"
    printf '%s\n' "$body" > "$dir/case.tarn"
    local -a names=() expects=() checks=() args=(--ui quiet)
    local l
    local want_error=0 line
    : > "$dir/stdin"
    local -a dumponly=() extra=() env=(TARN_SYSTEM_ACTIONS="record:$dir/system-actions.log" TARN_SOUND="record:$dir/sounds.log")
    local limit="" 
    while IFS= read -r line; do
        case $line in
        ";@sh "*) (cd "$dir/home" && VRAYU_REGISTRY_DIR="$dir/registry" TARN_WINDOWS_DIR="$dir/win" CASE="$dir" bash -c "${line#;@sh }") ;;
        ";@answers "*) args=(--answers "${line#;@answers }") ;;
        ";@console"*) args=(--ui console); l=${line#;@console}; printf '%s\n' "${l# }" >> "$dir/stdin" ;;
        ";@quiet") args+=(--quiet="$dir/quiet.log") ;;
        ";@error "*) want_error=${line#;@error } ;;
        ";= "*)
            local e=${line#;= }
            names+=("${e%%=*}")
            expects+=("$e")
            ;;
        ";@check "*) checks+=("${line#;@check }") ;;
        ";@dump "*) IFS=, read -ra extra <<< "${line#;@dump }"; dumponly+=("${extra[@]}") ;;
        ";@env "*) env+=("${line#;@env }") ;;
        ";@limit "*) limit=${line#;@limit } ;;
        esac
    done <<< "$body"
    local dump
    dump=$(IFS=,; echo "${names[*]:-}${dumponly[*]:+,}${dumponly[*]:-}")
    dump=${dump#,}
    if [[ -n $limit && -n ${ASAN_OPTIONS:-} ]]; then
        rm -rf "$dir"
        return
    fi
    local out err rc
    out=$(cd "$dir/home" && { [[ -z $limit ]] || ulimit -v "$limit"; } &&
          env HOME="$dir/home" TARN_WINDOWS_DIR="$dir/win" VRAYU_REGISTRY_DIR="$dir/registry" CASE="$dir" "${env[@]}" \
          "$tarn" "${args[@]}" ${dump:+--dump "$dump"} "$dir/case.tarn" 2>"$dir/stderr" <"$dir/stdin" | sed 's/\t/\\t/g')
    rc=${PIPESTATUS[0]}
    err=$(cat "$dir/stderr")
    printf '%s\n' "$out" > "$dir/dump"
    local bad=""
    if [[ $want_error != 0 ]]; then
        [[ $err == *"error $want_error:"* ]] || bad+=$'\n'"  expected error $want_error, got: ${err:-none}"
    elif [[ $rc != 0 ]]; then
        bad+=$'\n'"  stopped: $err"
    fi
    local i
    for i in "${!names[@]}"; do
        grep -qxF -- "${expects[$i]}" <<< "$out" ||
            bad+=$'\n'"  expected ${expects[$i]}, got $(grep -m1 "^${names[$i]}=" <<< "$out")"
    done
    for i in "${!checks[@]}"; do
        (cd "$dir/home" && VRAYU_REGISTRY_DIR="$dir/registry" TARN_WINDOWS_DIR="$dir/win" CASE="$dir" bash -c "${checks[$i]}") || bad+=$'\n'"  check failed: ${checks[$i]}"
    done
    if [[ -n $bad ]]; then
        echo "FAIL $(basename "$file"): $name$bad"
        failures=$((failures + 1))
    fi
    rm -rf "$dir"
}

for file in "$@"; do
    name="" body=""
    while IFS= read -r line || [[ -n $line ]]; do
        if [[ $line == ";--- "* ]]; then
            [[ -n $name ]] && run_case "$file" "$name" "$body"
            name=${line#;--- }
            body=""
        else
            body+="$line"$'\n'
        fi
    done < "$file"
    [[ -n $name ]] && run_case "$file" "$name" "$body"
done
echo "$total cases, $failures failed"
[[ $failures == 0 ]]
