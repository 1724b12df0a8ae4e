#!/usr/bin/env bash
# Installs what is missing, builds Quillhorn and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build/release
exec build/release/bin/quillhorn "$@"
