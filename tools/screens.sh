#!/usr/bin/env bash
# Pictures for the README: builds Quillhorn, starts it on a virtual display
# (Xvfb) and saves the main window with each of the fourteen panes open to
# docs/screens/. Run it again after a pane changes and commit the pictures.
#
# usage: tools/screens.sh [--scale FACTOR] [--dark] [--lang en]
#   --scale 2  at twice the density (QT_SCALE_FACTOR=2), into docs/screens/2x/
#   --dark     in a dark desktop palette (the Fusion style), into docs/screens/dark/
#   --lang en  in English, into docs/screens/en/ (kept in the repository too)
# Scale and palette together go to docs/screens/dark-2x/ (en/dark-2x/ in
# English). These are for checking by eye; the README shows only docs/screens/
# and docs/screens/en/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

options=()
scale=""
dark=""
lang=""
while [ $# -gt 0 ]; do
    case "$1" in
    --scale)
        [ $# -ge 2 ] || { echo "screens.sh: --scale needs a factor" >&2; exit 2; }
        scale=$2
        options+=(--scale "$2")
        shift 2
        ;;
    --dark)
        dark=dark
        options+=(--dark)
        shift
        ;;
    --lang)
        case "${2:-}" in
        en) lang=en ;;
        zh_CN) lang="" ;;
        *) echo "screens.sh: --lang takes en or zh_CN" >&2; exit 2 ;;
        esac
        options+=(--lang "$2")
        shift 2
        ;;
    *)
        echo "usage: tools/screens.sh [--scale FACTOR] [--dark] [--lang en]" >&2
        exit 2
        ;;
    esac
done
sub=$dark
[ -n "$scale" ] && sub=${sub:+$sub-}${scale}x
out=docs/screens${lang:+/$lang}${sub:+/$sub}

bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target quillhorn-screens quillhorn-rsa
# The decoder pane reads its settings from the current folder: give it the starter file.
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp res/quillhorn.conf "$run/"
mkdir -p "$out"
rm -f "$out"/*.png
cd "$run"
# A screen large enough for the window at the largest scale used.
xvfb-run -a -s "-screen 0 2560x1600x24" "$repo/build/release/bin/quillhorn-screens" "${options[@]}" "$repo/$out"
