#!/usr/bin/env bash
# Builds the keyboard simulator and runs it; arguments go to the simulator
# (none: the built-in demo trace).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target keyboard-sim -j "$(nproc)" >/dev/null
exec build/tools/keyboard-sim/keyboard-sim "$@"
