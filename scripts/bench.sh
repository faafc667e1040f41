#!/usr/bin/env bash
# Builds the benchmarks (optimised, no sanitizers) and runs every one of them;
# arguments go to each benchmark (for example --benchmark_filter=...). Without a
# display they run under a virtual X server, for the keyboard view's window. With
# VORN_QT_MAJOR=6 they build against Qt 6, in build-qt6/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
"$root/scripts/install-deps.sh"
build="$root/build$qt_suffix"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
runner=()
[ -z "${DISPLAY:-}" ] && runner=(xvfb-run -a)
for bench in "$build"/bench/bench_*/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "${runner[@]}" "$bench" "$@"
done
