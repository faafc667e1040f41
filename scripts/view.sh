#!/usr/bin/env bash
# Builds the keyboard view and opens it; arguments go to the view (none: the built-in
# demo trace).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target keyboard-view -j "$(nproc)" >/dev/null
exec "$root/build/tools/keyboard-view/keyboard-view" "$@"
