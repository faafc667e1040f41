#!/usr/bin/env bash
# Regenerates the README's screenshot: the keyboard view after the built-in demo trace and
# tools/keyboard-view/screenshot.trace (remapped keys, FN held), rendered under a virtual
# X server. The build's progress goes to standard error.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
"$root/scripts/install-deps.sh"
build="$root/build$qt_suffix"
echo "screenshot.sh: configuring ${build#"$root"/} (RelWithDebInfo, Qt ${VORN_QT_MAJOR:-5})" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
echo "screenshot.sh: building keyboard-view" >&2
cmake --build "$build" --target keyboard-view -j "$(nproc)" >&2
cat "$root/tools/keyboard-sim/demo.trace" "$root/tools/keyboard-view/screenshot.trace" \
    | xvfb-run -a "$build/tools/keyboard-view/keyboard-view" --fresh \
          --screenshot "$root/docs/keyboard-view.png" - 2>/dev/null
echo "wrote docs/keyboard-view.png"
