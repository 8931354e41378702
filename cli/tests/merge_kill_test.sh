#!/usr/bin/env bash
# zeltran-cli merge killed with SIGKILL at random moments, and at each of
# its renames (through strace), then run again with the same arguments:
# every time the folder must end exactly as one merge leaves it.
# Usage: merge_kill_test.sh ZELTRAN_CLI [KILLS] [MEGABYTES_PER_BASE]
set -euo pipefail
cli=$1
kills=${2:-12}
megabytes=${3:-24}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A base as the build writes it: records of about 1 KB, one index line each.
make_base() { # FOLDER NAME TOPIC
    awk -v folder="$1" -v name="$2" -v topic="$3" -v count=$((megabytes * 1024)) 'BEGIN {
        body = sprintf("%1000s", ""); gsub(/ /, "x", body)
        offset = 1
        for (i = 0; i < count; i++) {
            record = "'\''MESSAGE http://www.example.com/support/forums/3/" i ".html\n" \
                     "'\''FORUM:  F\n'\''TOPIC:  " topic i "\n'\''NAME:   A\n'\''DATE:   D\n" body "\n\n"
            printf "%s", record > (folder "/" name ".DAT")
            printf "%s%d\tA\tD\t%d\t%d\t%d\r\n", topic, i, i, offset, length(record) \
                > (folder "/" name ".IDX")
            offset += length(record)
        }
    }'
}

mkdir "$work/pristine"
make_base "$work/pristine" NEW new
make_base "$work/pristine" OLD old
printf 'earlier backup' >"$work/pristine/OLD.DA_"
printf 'earlier\tbackup\r\n' >"$work/pristine/OLD.ID_"

cp -r "$work/pristine" "$work/once"
start=$(date +%s%N)
"$cli" merge "$work/once/NEW.DAT" "$work/once/OLD.DAT" >/dev/null
took_ms=$((($(date +%s%N) - start) / 1000000))

same_as_once() { # FOLDER
    [ "$(cd "$1" && ls)" = "$(cd "$work/once" && ls)" ] || return 1
    for file in "$work/once"/*; do
        cmp -s "$file" "$1/$(basename "$file")" || return 1
    done
}

failures=0
# take_up ROUND_NAME: runs the merge again unless the kill found it done.
take_up() {
    if ! same_as_once "$work/run"; then
        output=$("$cli" merge "$work/run/NEW.DAT" "$work/run/OLD.DAT") || true
        if ! same_as_once "$work/run"; then
            echo "FAIL $1, then: $output" >&2
            ls -l "$work/run" >&2
            failures=$((failures + 1))
        fi
    fi
}

for round in $(seq 1 "$kills"); do
    rm -rf "$work/run"
    cp -r "$work/pristine" "$work/run"
    delay_ms=$((RANDOM % (took_ms + took_ms / 4 + 1)))
    "$cli" merge "$work/run/NEW.DAT" "$work/run/OLD.DAT" >/dev/null &
    merge=$!
    sleep "$(awk -v ms="$delay_ms" 'BEGIN { printf "%.3f", ms / 1000 }')"
    kill -9 "$merge" 2>/dev/null || true
    wait "$merge" 2>/dev/null || true
    take_up "killed after $delay_ms ms"
done
echo "$kills merges killed at random within $((took_ms + took_ms / 4)) ms"

# The renames take microseconds of the merge's time: strace kills it as it
# enters each of them.
renames=rename,renameat,renameat2
for call in 1 2 3 4; do
    rm -rf "$work/run"
    cp -r "$work/pristine" "$work/run"
    (strace -f -o /dev/null -e trace=$renames -e inject=$renames:signal=KILL:when=$call \
        "$cli" merge "$work/run/NEW.DAT" "$work/run/OLD.DAT") >/dev/null 2>&1 || true
    take_up "killed at rename $call"
done
echo "4 merges killed at each of their renames; $failures failed in all"
exit $((failures > 0))
