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
echo "bench.sh: configuring ${build#"$root"/} (RelWithDebInfo, Qt ${VORN_QT_MAJOR:-5})" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
echo "bench.sh: building" >&2
cmake --build "$build" -j "$(nproc)" >&2
runner=()
[ -z "${DISPLAY:-}" ] && runner=(xvfb-run -a)
for bench in "$build"/bench/bench_*/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "${runner[@]}" "$bench" "$@"
done
