#!/usr/bin/env bash
# Installs what is missing, builds Quillhorn with its tests and runs them all;
# then builds everything once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (Qt itself as Debian ships it) and runs every test
# but the multi-gigabyte ones again, the GUI tests on the offscreen platform;
# last, builds the fuzz targets with clang and runs each for a few seconds.
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

# A smoke run of every fuzz target (tests/fuzz): built with clang, without the
# GUI, each run for 15 s on a copy of its seed corpus, so the repository is
# not written to. A finding stops the script. The generous time-out per input
# only catches hangs: on a busy machine a stalled process must not count as one.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DQH_BUILD_FUZZ=ON -DQH_BUILD_GUI=OFF -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz -j "$jobs" --target qh_fuzz
for target in build/fuzz/bin/qh_*_fuzz; do
    name=$(basename "$target" _fuzz)
    name=${name#qh_}
    work=$(mktemp -d)
    cp -r "tests/fuzz/corpus/$name/." "$work"
    if ! "$target" -max_total_time=15 -timeout=300 -close_fd_mask=3 \
        -artifact_prefix=build/fuzz/ "$work" >"$work.log" 2>&1; then
        cat "$work.log"
        echo "qh_${name}_fuzz found a fault; the input is in build/fuzz/"
        exit 1
    fi
    echo "qh_${name}_fuzz: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$work.log")"
    rm -rf "$work" "$work.log"
done
