#!/usr/bin/env bash
# Builds the benchmarks (optimised, no sanitizers) and runs every one of them;
# arguments go to each benchmark (for example --benchmark_filter=...). Without a
# display they run under a virtual X server, for the keyboard view's window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" >/dev/null
runner=()
[ -z "${DISPLAY:-}" ] && runner=(xvfb-run -a)
for bench in "$root"/build/bench/bench_*/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "${runner[@]}" "$bench" "$@"
done
