#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORN_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$(nproc)"
# A test that hangs (a deadlock) fails after two minutes.
ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)" --timeout 120 "$@"
