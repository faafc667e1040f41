#!/usr/bin/env bash
# Builds the keyboard view and opens it; arguments go to the view (none: the built-in
# demo trace).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
"$root/scripts/install-deps.sh"
build="$root/build$qt_suffix"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
cmake --build "$build" --target keyboard-view -j "$(nproc)" >/dev/null
exec "$build/tools/keyboard-view/keyboard-view" "$@"
