#!/usr/bin/env bash
# Pictures for the README: builds Quillhorn, starts it on a virtual display
# (Xvfb) and saves the main window with each of the twelve panes open to
# docs/screens/. Run it again after a pane changes and commit the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target quillhorn-screens quillhorn-rsa
# The decoder pane reads its settings from the current folder: give it the starter file.
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp res/quillhorn.conf "$run/"
rm -f docs/screens/*.png
cd "$run"
xvfb-run -a -s "-screen 0 1024x768x24" "$repo/build/release/bin/quillhorn-screens" "$repo/docs/screens"
