#!/usr/bin/env bash
# Builds the benchmarks (optimised, no sanitizers) and runs every one of them;
# arguments go to each benchmark (for example --benchmark_filter=...). Without a
# display they run under a virtual X server, for the keyboard view's window. With
# VORN_QT_MAJOR=6 they build against Qt 6, in build-qt6/.
#
# --summary FILE (first) also counts each benchmark's instructions per operation under
# callgrind, in two passes of a fixed number of operations, and writes FILE: the counts,
# each beside its floor's, and the times of the timed run (see docs/benchmarks.md).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
summary=""
if [ "${1:-}" = "--summary" ]; then
    summary="$(realpath -m "${2:?--summary needs a file name}")"
    shift 2
fi
"$root/scripts/install-deps.sh" valgrind
build="$root/build$qt_suffix"
echo "bench.sh: configuring ${build#"$root"/} (RelWithDebInfo, Qt ${VORN_QT_MAJOR:-5})" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
echo "bench.sh: building" >&2
cmake --build "$build" -j "$(nproc)" >&2
runner=()
[ -z "${DISPLAY:-}" ] && runner=(xvfb-run -a)

# The view's benchmark measures frames of a real window in wall-clock time: timed only.
counted() { [ -n "$summary" ] && [ "$(basename "$1")" != bench_keyboardview ]; }

# One counting pass of one benchmark: its run's JSON and callgrind's count of its loop.
count() {
    local bench="$1" name="$2" pass="$3" out
    out="$work/pass$pass/$(basename "$bench")-${name//\//-}"
    # A fixed hash seed: Qt's hash tables otherwise grow and probe differently in each run.
    QT_HASH_SEED=0 VORN_BENCH_PASS=$pass valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no \
        --callgrind-out-file="$out.callgrind" --log-file="$out.log" \
        "$bench" --benchmark_filter="^$name(/iterations:[0-9]+)?(/real_time)?\$" \
        --benchmark_out="$out.json" \
        --benchmark_out_format=json >/dev/null 2>"$out.err"
}

if [ -n "$summary" ]; then
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/timing" "$work/pass1" "$work/pass2"
fi
for bench in "$build"/bench/bench_*/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    timing=()
    [ -n "$summary" ] && timing=(--benchmark_out="$work/timing/$(basename "$bench").json"
                                 --benchmark_out_format=json)
    "${runner[@]}" "$bench" "${timing[@]}" "$@"
    counted "$bench" || continue
    for name in $(VORN_BENCH_PASS=1 "$bench" --benchmark_list_tests "$@"); do
        name="${name%%/iterations:*}"
        echo "   counting $name"
        count "$bench" "$name" 1
        count "$bench" "$name" 2
    done
done
[ -z "$summary" ] || "$build/bench/benchsummary" "$work" "$summary"
