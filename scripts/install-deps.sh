#!/usr/bin/env bash
# Installs, from Debian's archive, whatever the build and the tests need and is not there yet.
set -euo pipefail

PACKAGES=(
    cmake make g++ pkg-config dpkg-dev xz-utils
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libsndfile1-dev libpng-dev zlib1g-dev libcairo2-dev fonts-dejavu-core fonts-liberation2
    libfreetype-dev libfontconfig1-dev
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
    binutils-mingw-w64-x86-64 libz-mingw-w64-dev
    wine wine64 xvfb xdotool x11-utils x11-apps python3
)

missing=()
for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: everything is installed"
    exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
    echo "install-deps: missing packages (run as root to install them): ${missing[*]}" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
