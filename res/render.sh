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
# Every picture also gets a rendering at twice its size, named with @2x before
# the extension (png/NAME-16@2x.png is 32 px): Qt loads it on screens of twice
# the density (QIcon finds it beside the plain file).
set -eu
cd "$(dirname "$0")"

for tool in rsvg-convert convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "render.sh: $tool not found" >&2; exit 1; }
done

render() { # svg size png
    rsvg-convert --width "$2" --height "$2" --output "$3" "$1"
    echo "$3"
}

# The picture at its size and, as NAME@2x.png, at twice that.
render2() { # svg size png
    render "$1" "$2" "$3"
    render "$1" $(($2 * 2)) "${3%.png}@2x.png"
}

mkdir -p icons/png
for svg in icons/*.svg; do
    name=$(basename "$svg" .svg)
    case "$name" in
    *-16) render2 "$svg" 16 "icons/png/$name.png" ;;
    *)
        [ -f "icons/$name-16.svg" ] || render2 "$svg" 16 "icons/png/$name-16.png"
        render2 "$svg" 32 "icons/png/$name-32.png"
        if [ "$name" = quillhorn ]; then
            # The window icon at 48 (and 96) px; the other sizes of the desktop's icon theme.
            render2 "$svg" 48 "icons/png/$name-48.png"
            for size in 22 24 64 128 256 512; do
                render "$svg" "$size" "icons/png/$name-$size.png"
            done
        fi
        ;;
    esac
done

mkdir -p cursors/png
for svg in cursors/*.svg; do
    render2 "$svg" 32 "cursors/png/$(basename "$svg" .svg)-32.png"
done

# No alpha channel and no time stamps, so an unchanged source renders to the same bytes.
picture() { # svg width height png
    rsvg-convert --width "$2" --height "$3" "$1" |
        convert png:- -background '#16324f' -alpha remove -alpha off -define png:exclude-chunks=date,time,tIME \
            "PNG24:$4"
    echo "$4"
}
# The start-up picture, and the one of the English interface.
for name in startup startup-en; do
    picture "pictures/$name.svg" 387 382 "pictures/$name.png"
    picture "pictures/$name.svg" 774 764 "pictures/$name@2x.png"
done
