#!/usr/bin/env bash
# Kills the keyboard simulator with SIGKILL at a random moment while it saves key remaps
# and OLED settings, KILLS times (default 100), and checks after each kill that
# - the keyboard file holds every remap of the runs before and a first part of the killed
#   run's remaps, and neither file holds a line the library cannot read (nothing is lost,
#   nothing is cut short);
# - at most one temporary copy is left, which the next write removes;
# - no run stalls: never more than a second from its start to its first output line or
#   between two output lines, whatever the run before it left behind.
# It builds the optimised simulator (build/, or build-qt6/ with VORN_QT_MAJOR=6) and runs
# a copy in a folder of its own under the build folder, on the disk the build is on.
#   scripts/kill-loop.sh [KILLS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
kills="${1:-100}"
build="$root/build$qt_suffix"
echo "== building the simulator in $(basename "$build")" >&2
cmake -S "$root" -B "$build" "$qt_cmake"
cmake --build "$build" -j 2 --target keyboard-sim
work="$build/kill-loop"
rm -rf "$work"
mkdir -p "$work"
cp "$build/tools/keyboard-sim/keyboard-sim" "$work/"
sim="$work/keyboard-sim"
perRun=20
firstKey() { echo $((1000 + $1 * perRun)); }

# How many remaps in a row, from key $1 on, the keyboard file holds; fails when a file
# holds a line the library does not read.
remapsFrom() {
    printf 'dump ini keyboard\ndump ini oled\n' | "$sim" - >"$work/dump" 2>"$work/dump.err"
    if grep -q 'DealKeyPress' "$work/dump.err"; then
        cat "$work/dump.err" >&2
        return 1
    fi
    grep -o '"group":"KeyMap","key":"[0-9]*"' "$work/dump" | grep -o '[0-9]*' | sort -n \
        | awk -v key="$1" '$1 == key { key++; count++ } END { print count + 0 }'
}

# Remaps and OLED settings for the keys of run $1, from its $2th on.
remapTrace() {
    local key
    for key in $(seq $(($(firstKey "$1") + $2)) $(($(firstKey "$1") + perRun - 1))); do
        printf 'call addModifyValue %d 105\ncall writeOledIni %d 2 7 "run %d" "key %d"\n' \
            "$key" "$key" "$1" "$key"
    done
}

longest=0
rm -f "$work/lines"
mkfifo "$work/lines"
for run in $(seq 1 "$kills"); do
    remapTrace "$run" 0 >"$work/run.trace"
    start=$(date +%s%N)
    while IFS= read -r _; do echo $((($(date +%s%N) - start) / 1000000)); done \
        <"$work/lines" >"$work/times" &
    reader=$!
    "$sim" "$work/run.trace" >"$work/lines" 2>/dev/null &
    pid=$!
    sleep "$(printf '0.%03d' $((RANDOM % 500)))"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    wait "$reader"
    gap=$(awk '{ if ($1 - last > max) max = $1 - last; last = $1 } END { print max + 0 }' "$work/times")
    if ((gap > longest)); then longest=$gap; fi
    copies=$(find "$work/Keyboard" -name '*.vorn-*' | wc -l)
    saved=$(remapsFrom "$(firstKey "$run")")
    kept=$(remapsFrom "$(firstKey 1)")
    echo "kill $run: $saved of $perRun remaps saved, $copies temporary copy left, longest wait ${gap} ms"
    if ((gap > 1000 || copies > 1 || kept != (run - 1) * perRun + saved)); then
        echo "kill $run: a stall, a copy too many, or remaps of earlier runs lost" >&2
        exit 1
    fi
    # Completes the run, so that the next one starts from every remap of this one.
    remapTrace "$run" "$saved" | "$sim" - >/dev/null
done
echo "== $kills kills, nothing lost, at most one temporary copy left, longest wait ${longest} ms"
