#!/usr/bin/env bash
# Builds the keyboard view and opens it; arguments go to the view (none: the built-in
# demo trace). The build's progress goes to standard error.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
"$root/scripts/install-deps.sh"
build="$root/build$qt_suffix"
echo "view.sh: configuring ${build#"$root"/} (RelWithDebInfo, Qt ${VORN_QT_MAJOR:-5})" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$qt_cmake" >/dev/null
echo "view.sh: building keyboard-view" >&2
cmake --build "$build" --target keyboard-view -j "$(nproc)" >&2
exec "$build/tools/keyboard-view/keyboard-view" "$@"
