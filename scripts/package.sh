#!/usr/bin/env bash
# Builds the Debian packages in build-package/: the library, its development files and,
# when built with the stand-ins, the tools. Arguments go to CMake, for example
# -DVORN_HOST_PREFIX=/opt/host to build against the host's own libraries.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-package" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build "$root/build-package" -j "$(nproc)" >/dev/null
rm -f "$root"/build-package/*.deb
(cd "$root/build-package" && cpack -G DEB >/dev/null)
ls "$root"/build-package/*.deb
