#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing, and the
# ones given as arguments.
set -euo pipefail

packages=(cmake make g++ qtbase5-dev qtdeclarative5-dev libbenchmark-dev dpkg-dev file
          qml-module-qtquick2 qml-module-qtquick-window2 xvfb xauth clang libclang-rt-dev "$@")
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
