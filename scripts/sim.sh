#!/usr/bin/env bash
# Builds the keyboard simulator and runs it; arguments go to the simulator
# (none: the built-in demo trace). The build's progress and a closing line saying what
# ran go to standard error, so that standard output holds the simulator's JSON lines only.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
"$root/scripts/install-deps.sh"
build="$root/build$qt_suffix"
echo "sim.sh: configuring ${build#"$root"/} (RelWithDebInfo, Qt ${VORN_QT_MAJOR:-5})" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
echo "sim.sh: building keyboard-sim" >&2
cmake --build "$build" --target keyboard-sim -j "$(nproc)" >&2
sim="$build/tools/keyboard-sim/keyboard-sim"
status=0
"$sim" "$@" || status=$?
ran="${sim#"$root"/}${*:+ $*}"
[ $# -eq 0 ] && ran+=" on the built-in demo trace"
echo "sim.sh: ran $ran, exit status $status. Its standard output: one JSON object a line" \
     "(signals, calls, host calls, dumps); docs/simulator.md, \"Output\", describes" \
     "them." >&2
exit "$status"
