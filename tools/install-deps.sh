#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Quillhorn
# need, and only those that are missing. Run as root (or with sudo available).
# Packages that only one command needs are given as arguments by that command.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n qt6-l10n-tools libgl-dev
    libssl-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev libdeflate-dev
    fonts-wqy-zenhei fonts-arphic-uming
    xvfb xauth
    clang libclang-rt-14-dev
    desktop-file-utils appstream groff-base
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
