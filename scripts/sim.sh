#!/usr/bin/env bash
# Builds the keyboard simulator and runs it; arguments go to the simulator
# (none: the built-in demo trace).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target keyboard-sim -j "$(nproc)" >/dev/null
exec "$root/build/tools/keyboard-sim/keyboard-sim" "$@"
