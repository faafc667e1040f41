#!/usr/bin/env bash
# Regenerates the README's screenshot: the keyboard view after the built-in demo trace,
# rendered under a virtual X server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
"$root/scripts/install-deps.sh"
build="$root/build$qt_suffix"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
cmake --build "$build" --target keyboard-view -j "$(nproc)" >/dev/null
xvfb-run -a "$build/tools/keyboard-view/keyboard-view" --fresh \
    --screenshot "$root/docs/keyboard-view.png" 2>/dev/null
echo "wrote docs/keyboard-view.png"
