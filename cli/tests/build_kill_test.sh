#!/usr/bin/env bash
# zeltran-cli build killed with SIGKILL (through strace) as it enters each of
# its file operations in turn, over a folder that holds a previous base.
# After every kill the folder must hold the previous pair, a .DAT without an
# .IDX, or the new pair; the build run again must leave exactly what one
# uninterrupted build leaves, without work files.
# Usage: build_kill_test.sh ZELTRAN_CLI SAMPLE_PAGES
set -euo pipefail
cli=$1
samples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The previous pair has fewer records than the new one, so a mix shows.
mkdir "$work/pristine"
cp "$samples"/* "$work/pristine"
"$cli" build --pages "$work/pristine" --forum 3 --since 2005-12-10 >/dev/null
cp -r "$work/pristine" "$work/once"
"$cli" build --pages "$work/once" --forum 3 >/dev/null

same_files() { # FOLDER FOLDER
    [ "$(cd "$1" && ls)" = "$(cd "$2" && ls)" ] || return 1
    for file in "$1"/*; do
        cmp -s "$file" "$2/$(basename "$file")" || return 1
    done
}

same_pair() { # FOLDER FOLDER
    cmp -s "$1/FORUM3.DAT" "$2/FORUM3.DAT" && cmp -s "$1/FORUM3.IDX" "$2/FORUM3.IDX"
}

sound_state() { # FOLDER
    if [ -e "$1/FORUM3.IDX" ]; then
        same_pair "$1" "$work/pristine" || same_pair "$1" "$work/once"
    else
        [ -e "$1/FORUM3.DAT" ]
    fi
}

# strace counts the calls of each kind apart: every kind in turn, killed at
# its first, second, ... call until the build gets through.
failures=0
points=0
for call in openat write fsync rename unlink; do
    for ((point = 1; ; point++)); do
        rm -rf "$work/run"
        cp -r "$work/pristine" "$work/run"
        # LeakSanitizer, in the native test build, cannot run under ptrace.
        output=$(ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e trace=$call \
            -e inject=$call:signal=KILL:when=$point \
            "$cli" build --pages "$work/run" --forum 3 2>/dev/null) || true
        case $output in *outcome*) break ;; esac
        points=$((points + 1))
        if ! sound_state "$work/run"; then
            echo "FAIL killed at $call $point: the pair does not belong together" >&2
            ls -l "$work/run" >&2
            failures=$((failures + 1))
        fi
        "$cli" build --pages "$work/run" --forum 3 >/dev/null || true
        if ! same_files "$work/run" "$work/once"; then
            echo "FAIL killed at $call $point, then built again" >&2
            ls -l "$work/run" >&2
            failures=$((failures + 1))
        fi
    done
done
echo "build killed at each of its $points file operations; $failures failures"
[ "$failures" -eq 0 ]
