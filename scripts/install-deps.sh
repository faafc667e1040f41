#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing, and the
# ones given as arguments. The Qt packages are Qt 5's, or Qt 6's with VORN_QT_MAJOR=6.
set -euo pipefail
source "$(dirname "$0")/qtversion.sh"

qt5=(qtbase5-dev qtdeclarative5-dev qml-module-qtquick2 qml-module-qtquick-window2)
qt6=(qt6-base-dev qt6-declarative-dev qml6-module-qtquick qml6-module-qtquick-window
     qml6-module-qtqml-workerscript qt6-qpa-plugins)
qt="qt${VORN_QT_MAJOR:-5}[@]"
packages=(cmake make g++ libbenchmark-dev dpkg-dev file xvfb xauth clang libclang-rt-dev doxygen
          "${!qt}" "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
