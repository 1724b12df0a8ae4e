#!/usr/bin/env bash
# Installs what is missing, builds Quillhorn with its tests and runs them all;
# then builds everything once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (Qt itself as Debian ships it) and runs every test
# but the multi-gigabyte ones again, the GUI tests on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQH_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j "$jobs"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs" -LE large
