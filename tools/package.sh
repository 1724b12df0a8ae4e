#!/usr/bin/env bash
# Installs what is missing, builds Quillhorn for /usr (Release) and makes its
# Debian package, build/package/quillhorn_VERSION_ARCH.deb. Install it with
# `apt install ./build/package/quillhorn_*.deb`, which brings its dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
# cpack's Debian generator finds the libraries' packages with dpkg-shlibdeps
# (dpkg-dev) and picks the programs among the files with file.
bash tools/install-deps.sh dpkg-dev file
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build/package
rm -f build/package/quillhorn_*.deb
(cd build/package && cpack -G DEB >/dev/null)
ls build/package/quillhorn_*.deb
