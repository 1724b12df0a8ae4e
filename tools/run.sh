#!/usr/bin/env bash
# Installs what is missing, builds Quillhorn and starts it in the folder this
# command was run from. The decoder keeps its settings in quillhorn.conf in that
# folder; a starter file with a few useful settings is put there when none exists.
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
repo=$(pwd)
bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build/release
cd "$here"
[ -e quillhorn.conf ] || cp "$repo/res/quillhorn.conf" quillhorn.conf
exec "$repo/build/release/bin/quillhorn" "$@"
