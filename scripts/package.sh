#!/usr/bin/env bash
# Builds the Debian packages in build-package/ (build-package-qt6/ with VORN_QT_MAJOR=6):
# the library, its development files and, when built with the stand-ins, the tools.
# Arguments go to CMake, for example -DVORN_HOST_PREFIX=/opt/host to build against the
# host's own libraries.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
"$root/scripts/install-deps.sh"
build="$root/build-package$qt_suffix"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF "$qt_cmake" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/*.deb
