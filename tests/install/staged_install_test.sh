#!/usr/bin/env bash
# Installs the build tree into a staging folder (DESTDIR) and checks what an
# installation gives: the files in their places, the desktop entry and the
# metainfo through their validators, the man pages through groff, and the
# installed programs, started from another folder, using the component that was
# installed with them.
#
# Arguments: cmake, the build tree, the staging folder, then the configured
# absolute install folders: bin, the component's, data (share), man.
set -euo pipefail
cmake=$1 build=$2 stage=$3
bin=$stage$4 componentdir=$stage$5 data=$stage$6 man=$stage$7
configured_component=$5/libquillhorn-rsa.so
component=$componentdir/libquillhorn-rsa.so

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli groff; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (bash tools/install-deps.sh installs it)"; exit 1; }
done

rm -rf "$stage"
DESTDIR=$stage "$cmake" --install "$build" >"$stage.log" 2>&1 || { cat "$stage.log"; echo "FAIL: cmake --install"; exit 1; }

# The files, and an icon of the size its folder names (PNG: width and height at byte 16).
for file in "$bin/quillhorn" "$bin/quillhorn-cli"; do
    [ -x "$file" ] || fail "$file is not an installed program"
done
for file in "$component" "$data/applications/quillhorn.desktop" "$data/metainfo/org.example.quillhorn.metainfo.xml" \
    "$man/man1/quillhorn-cli.1" "$man/man1/quillhorn.1" "$data/icons/hicolor/scalable/apps/quillhorn.svg"; do
    [ -f "$file" ] || fail "$file is missing"
done
for size in 16 22 24 32 48 64 128 256 512; do
    icon=$data/icons/hicolor/${size}x$size/apps/quillhorn.png
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }') ||
        { fail "$icon is missing"; continue; }
    [ "$width $height" = "$size $size" ] || fail "$icon is $width x $height"
done

# The validators: errors and warnings fail, hints are shown.
desktop=$data/applications/quillhorn.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || echo "$out"
if grep -Eq ': (error|warning):' <<<"$out"; then fail "desktop-file-validate warns"; fi
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', which is not installed"
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$data/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "the desktop entry's icon '$icon_name' is not installed"

out=$(appstreamcli validate --no-net --pedantic "$data/metainfo/org.example.quillhorn.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $out"
echo "$out"
if grep -Eq '^ *[EW]:' <<<"$out"; then fail "appstreamcli validate warns"; fi

# The tree as a software centre reads it: the metainfo with the desktop entry it launches.
out=$(appstreamcli validate-tree --no-net --pedantic "$(dirname "$data")" 2>&1) || fail "appstreamcli validate-tree: $out"
if grep -Eq '^ *[EW]:' <<<"$out"; then fail "appstreamcli validate-tree warns: $out"; fi

for page in "$man/man1/quillhorn-cli.1" "$man/man1/quillhorn.1"; do
    out=$(groff -man -ww -z "$page" 2>&1) || true
    [ -z "$out" ] || fail "groff $page: $out"
done

# The installed programs, started from another folder, with a home of their own.
work=$(mktemp -d)
export HOME=$work XDG_CONFIG_HOME=$work/config
gui=
cleanup() {
    [ -z "$gui" ] || kill "$gui" 2>/dev/null || true
    [ -f "$component.away" ] && mv "$component.away" "$component"
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

if "$bin/quillhorn-cli" rsa keygen --bits 512 >key; then
    seq 1 2000 >plain
    "$bin/quillhorn-cli" rsa encrypt --key key plain sealed || fail "rsa encrypt"
    "$bin/quillhorn-cli" rsa decrypt --key key sealed copy || fail "rsa decrypt"
    cmp -s plain copy || fail "rsa decrypt does not give back what rsa encrypt was given"
    cmp -s plain sealed && fail "rsa encrypt copied its input"
else
    fail "the installed quillhorn-cli cannot make a key"
fi
printf abc | "$bin/quillhorn-cli" md5 >digest || fail "md5"
grep -q '^900150983cd24fb0d6963f7d28e17f72  -$' digest || fail "md5 of abc: $(cat digest)"

# Only the staged component can have served: without it the CLI names the configured one and fails.
if [ ! -e "$configured_component" ]; then
    mv "$component" "$component.away"
    if "$bin/quillhorn-cli" rsa keygen --bits 512 >/dev/null 2>message; then
        fail "quillhorn-cli made a key without its component"
    fi
    grep -qF "cannot load the RSA component $configured_component" message || fail "without its component: $(cat message)"
    mv "$component.away" "$component"
fi

# The GUI has no display here: on the offscreen platform it must load its
# component first (a failure shows a message box and waits for it to be closed,
# so a program that keeps running proves nothing alone) and then still be
# running a few seconds later (a start that fails after it ends with status 1).
QT_QPA_PLATFORM=offscreen "$bin/quillhorn" >gui.log 2>&1 &
gui=$!
running() { # not ended: an ended child stays a zombie until it is waited for
    [ -r "/proc/$gui/status" ] && ! grep -q '^State:[[:space:]]*[ZX]' "/proc/$gui/status"
}
real_component=$(readlink -f "$component")
loaded=no
give_up=$((SECONDS + 60))
while [ "$SECONDS" -lt "$give_up" ]; do
    if grep -qF "$real_component" "/proc/$gui/maps" 2>/dev/null; then
        loaded=yes
        break
    fi
    running || break
    sleep 0.1
done
if [ "$loaded" = yes ]; then
    sleep 3
    running || fail "the installed quillhorn ended after loading its component: $(cat gui.log)"
else
    fail "the installed quillhorn did not load $real_component: $(cat gui.log)"
fi
kill "$gui" 2>/dev/null || true
wait "$gui" 2>/dev/null || true
gui=

echo "$failures failed"
[ "$failures" -eq 0 ]
