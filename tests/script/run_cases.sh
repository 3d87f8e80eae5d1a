#!/usr/bin/env bash
# Runs Tarn script cases through the tarn host, each in its own temporary
# folder with its own Windows directory.
#   run_cases.sh TARN CASE_FILE...
# A case file holds one or more cases, each beginning with a line ";--- name".
# Directives (comment lines inside a case):
#   ;@sh COMMAND      run COMMAND (bash) in the case folder before the script
#   ;@ui console      the console provider with nothing typed (else quiet)
#   ;@answers A|B     answers for the scripted Ui (else the quiet provider)
#   ;@console LINE    a line typed at the console provider (one per directive)
#   ;@quiet           run in quiet mode (--quiet=quiet.log)
#   ;@params WORDS    parameters after the script, shell-quoted
#   ;@error N         the script must stop with error N (exit status 1); one
#                     directive per error the output must name
#   ;@status N        the exit status must be N (default 0 without ;@error)
#   ;@stderr TEXT     what tarn wrote on stderr must contain TEXT
#   ;= name=value     after the run, variable name holds value ("\t" = tab)
#   ;@dump a,b        also write these variables to $CASE/dump
#   ;@check COMMAND   after the run, COMMAND (bash, in the folder) must succeed;
#                     $CASE is the case folder, $CASE/dump holds name=value lines,
#                     $CASE/stderr what tarn wrote there; $TARN is the host;
#                     $SRC (also for ;@sh) is the folder of the case file
#   ;@env NAME=VALUE  an environment variable for the run
#   ;@limit KB        run with at most KB kilobytes of address space (the case
#                     is skipped under AddressSanitizer, which needs more)
#   ;@varies          the output differs from run to run (process ids, file
#                     times on the console): the two runs below are compared
#                     by the checks alone
#   ;@once            the case changes state outside its folder (a service
#                     shared by the group's cases, a window that outlives the
#                     run): it runs once, caches on
# Each case runs twice, with the interpreter's speed caches on and off
# (TARN_CACHES=off), and both runs must give the same exit status, stderr and
# variables, as well as pass the checks; TARN_CASES_CACHES=on runs once.
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

cache_modes=(on off)
[[ ${TARN_CASES_CACHES:-} == on ]] && cache_modes=(on)

# Runs a case in each cache mode; outputs that differ are a failure.
run_case() {
    local file=$1 name=$2 body=$3 mode first="" varies=""
    total=$((total + 1))
    local -a modes=("${cache_modes[@]}")
    [[ $'\n'$body == *$'\n;@varies\n'* ]] && varies=1
    [[ $'\n'$body == *$'\n;@once\n'* ]] && modes=(on)
    for mode in "${modes[@]}"; do
        run_once "$file" "$name" "$body" "$mode" || return
        if [[ -z $first ]]; then
            first=$outcome
        elif [[ -z $varies && $outcome != "$first" ]]; then
            echo "FAIL $(basename "$file"): $name"$'\n'"  caches on and off differ:"
            diff <(printf '%s\n' "$first") <(printf '%s\n' "$outcome") | sed 's/^/    /'
            failures=$((failures + 1))
            return
        fi
    done
}

# One run; false (and counted) when it fails its checks. Sets `outcome` to
# the exit status, stderr and variables, with the case folder's name
# replaced, for comparing runs.
run_once() {
    local file=$1 name=$2 body=$3 mode=$4
    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/tarncase.XXXXXX")
    mkdir -p "$dir/win" "$dir/home"
    printf '%s\n' "$body" > "$dir/case.tarn"
    local -a names=() expects=() checks=() args=(--ui quiet) params=() errors=() stderr_texts=()
    local l status=""
    local line
    local src
    src=$(cd "$(dirname "$file")" && pwd)
    : > "$dir/stdin"
    local -a dumponly=() extra=() env=(TARN_SYSTEM_ACTIONS="record:$dir/system-actions.log" TARN_SOUND="record:$dir/sounds.log")
    [[ $mode == off ]] && env+=(TARN_CACHES=off)
    local limit="" 
    while IFS= read -r line; do
        case $line in
        ";@sh "*) (cd "$dir/home" && VRAYU_REGISTRY_DIR="$dir/registry" TARN_WINDOWS_DIR="$dir/win" CASE="$dir" SRC="$src" bash -c "${line#;@sh }") ;;
        ";@ui "*) args=(--ui "${line#;@ui }") ;;
        ";@answers "*) args=(--answers "${line#;@answers }") ;;
        ";@console"*) args=(--ui console); l=${line#;@console}; printf '%s\n' "${l# }" >> "$dir/stdin" ;;
        ";@quiet") args+=(--quiet="$dir/quiet.log") ;;
        ";@params "*) eval "params=(${line#;@params })" ;;
        ";@error "*) errors+=("${line#;@error }") ;;
        ";@status "*) status=${line#;@status } ;;
        ";@stderr "*) stderr_texts+=("${line#;@stderr }") ;;
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
        return 1
    fi
    local out err rc
    (cd "$dir/home" && { [[ -z $limit ]] || ulimit -v "$limit"; } &&
     exec env HOME="$dir/home" TARN_WINDOWS_DIR="$dir/win" VRAYU_REGISTRY_DIR="$dir/registry" CASE="$dir" "${env[@]}" \
     "$tarn" "${args[@]}" ${dump:+--dump "$dump"} "$dir/case.tarn" "${params[@]}" >"$dir/stdout" 2>"$dir/stderr" <"$dir/stdin")
    rc=$?
    out=$(sed 's/\t/\\t/g' "$dir/stdout")
    err=$(cat "$dir/stderr")
    printf '%s\n' "$out" > "$dir/dump"
    local bad=""
    local i
    for i in "${errors[@]}"; do
        [[ $err == *"error $i:"* ]] || bad+=$'\n'"  expected error $i, got: ${err:-none}"
    done
    if [[ -z $status ]]; then
        status=0
        ((${#errors[@]})) && status=1
    fi
    [[ $rc == "$status" ]] || bad+=$'\n'"  exit status $rc, expected $status: $err"
    for i in "${stderr_texts[@]}"; do
        [[ $err == *"$i"* ]] || bad+=$'\n'"  stderr lacks: $i"
    done
    for i in "${!names[@]}"; do
        grep -qxF -- "${expects[$i]}" <<< "$out" ||
            bad+=$'\n'"  expected ${expects[$i]}, got $(grep -m1 "^${names[$i]}=" <<< "$out")"
    done
    for i in "${!checks[@]}"; do
        (cd "$dir/home" && VRAYU_REGISTRY_DIR="$dir/registry" TARN_WINDOWS_DIR="$dir/win" CASE="$dir" SRC="$src" bash -c "${checks[$i]}") || bad+=$'\n'"  check failed: ${checks[$i]}"
    done
    outcome=$(printf 'status %s\n%s\n%s' "$rc" "$err" "$out" | sed "s|$dir|\$CASE|g")
    rm -rf "$dir"
    if [[ -n $bad ]]; then
        local label=""
        [[ $mode == off ]] && label=" (caches off)"
        echo "FAIL $(basename "$file"): $name$label$bad"
        failures=$((failures + 1))
        return 1
    fi
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
