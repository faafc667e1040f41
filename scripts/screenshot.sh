#!/usr/bin/env bash
# Regenerates the README's screenshot: the keyboard view after the built-in demo trace,
# rendered under a virtual X server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target keyboard-view -j "$(nproc)" >/dev/null
xvfb-run -a "$root/build/tools/keyboard-view/keyboard-view" --fresh \
    --screenshot "$root/docs/keyboard-view.png" 2>/dev/null
echo "wrote docs/keyboard-view.png"
