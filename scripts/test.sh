#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test
# (in build-sanitize/, or build-sanitize-qt6/ with VORN_QT_MAJOR=6).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/qtversion.sh
scripts/install-deps.sh
build="build-sanitize$qt_suffix"
echo "test.sh: configuring $build (Debug, sanitizers, Qt ${VORN_QT_MAJOR:-5})"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVORN_SANITIZE=ON "$qt_cmake" >/dev/null
echo "test.sh: building everything"
cmake --build "$build" -j "$(nproc)"
echo "test.sh: running the tests"
# A test that hangs (a deadlock) fails after two minutes.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 120 "$@"
