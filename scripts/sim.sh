#!/usr/bin/env bash
# Builds the keyboard simulator and runs it; arguments go to the simulator
# (none: the built-in demo trace).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
"$root/scripts/install-deps.sh"
build="$root/build$qt_suffix"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
cmake --build "$build" --target keyboard-sim -j "$(nproc)" >/dev/null
exec "$build/tools/keyboard-sim/keyboard-sim" "$@"
