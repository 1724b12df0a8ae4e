#!/bin/sh
# Re-renders every PNG under res/ from its SVG source. A developer tool only: the
# build uses the committed PNGs and never runs this.
#
# Needs rsvg-convert (Debian: librsvg2-bin) and ImageMagick's convert (imagemagick),
# plus the fonts the sources name (fonts-dejavu-core, fonts-wqy-zenhei).
#
# Icons: icons/NAME.svg gives png/NAME-32.png, and png/NAME-16.png too unless a
# hand-tuned icons/NAME-16.svg exists. The emblem (quillhorn) also gets the desktop's
# other icon sizes, 22 to 512 px, which the installation puts into the hicolor theme.
# Cursors: cursors/NAME.svg gives cursors/png/NAME-32.png, transparent.
# The start-up picture is flattened to opaque 24-bit RGB.
set -eu
cd "$(dirname "$0")"

for tool in rsvg-convert convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "render.sh: $tool not found" >&2; exit 1; }
done

render() { # svg size png
    rsvg-convert --width "$2" --height "$2" --output "$3" "$1"
    echo "$3"
}

mkdir -p icons/png
for svg in icons/*.svg; do
    name=$(basename "$svg" .svg)
    case "$name" in
    *-16) render "$svg" 16 "icons/png/$name.png" ;;
    *)
        [ -f "icons/$name-16.svg" ] || render "$svg" 16 "icons/png/$name-16.png"
        render "$svg" 32 "icons/png/$name-32.png"
        if [ "$name" = quillhorn ]; then
            for size in 22 24 48 64 128 256 512; do
                render "$svg" "$size" "icons/png/$name-$size.png"
            done
        fi
        ;;
    esac
done

mkdir -p cursors/png
for svg in cursors/*.svg; do
    render "$svg" 32 "cursors/png/$(basename "$svg" .svg)-32.png"
done

# No alpha channel and no time stamps, so an unchanged source renders to the same bytes.
rsvg-convert --width 387 --height 382 pictures/startup.svg |
    convert png:- -background '#16324f' -alpha remove -alpha off -define png:exclude-chunks=date,time,tIME \
        PNG24:pictures/startup.png
echo pictures/startup.png
