#!/usr/bin/env bash
# Cross-builds static Windows libraries from Debian's source tarballs:
#   build/deps/win64  (x86_64-w64-mingw32): libpng 1.6, libsndfile (WAV/PCM, no external codecs)
#   build/deps/win32  (i686-w64-mingw32):   libpng 1.6 (-msse2 -mfpmath=sse)
# Safe to run again: each library writes a stamp after installing and is skipped next time.
# Delete build/deps (or a stamp in build/deps/<target>/.stamps) to rebuild.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DEPS=$ROOT/build/deps
SRC=$DEPS/src
LOGS=$DEPS/logs
WORK=$DEPS/work

# name:target pairs to build, in order.
BUILDS=(libpng:win64 libsndfile:win64 libpng:win32)

stamp() { echo "$DEPS/$2/.stamps/$1.done"; }

all_done=1
for b in "${BUILDS[@]}"; do
    [[ -f $(stamp "${b%%:*}" "${b##*:}") ]] || all_done=0
done
if ((all_done)); then
    echo "win deps: up to date in $DEPS"
    exit 0
fi

mkdir -p "$SRC" "$LOGS" "$WORK"

# Runs a command with its output appended to a log; shows the log tail and stops on failure.
run_logged() {
    local log=$1
    shift
    if ! "$@" >>"$log" 2>&1; then
        echo "win deps: FAILED: $*" >&2
        echo "---- last lines of $log ----" >&2
        tail -n 40 "$log" >&2
        exit 1
    fi
}

triplet() { [[ $1 == win64 ]] && echo x86_64-w64-mingw32 || echo i686-w64-mingw32; }

# --- host tools -------------------------------------------------------------
missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v make >/dev/null || missing+=(make)
command -v xz >/dev/null || missing+=(xz-utils)
command -v dpkg-source >/dev/null || missing+=(dpkg-dev)
apt_updated=0
if ((${#missing[@]})); then
    echo "win deps: installing ${missing[*]}"
    run_logged "$LOGS/apt.log" apt-get update
    apt_updated=1
    run_logged "$LOGS/apt.log" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
for t in x86_64-w64-mingw32 i686-w64-mingw32; do
    command -v "$t-gcc-posix" >/dev/null || { echo "win deps: $t-gcc-posix not found (install gcc-mingw-w64)" >&2; exit 1; }
    [[ -f /usr/$t/include/zlib.h && -f /usr/$t/lib/libz.a ]] || { echo "win deps: mingw zlib missing for $t (install libz-mingw-w64-dev)" >&2; exit 1; }
done

# --- sources ----------------------------------------------------------------
SRC_LIST=/etc/apt/sources.list.d/bramble-src.sources
if ! grep -Eqs '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; then
    cat >"$SRC_LIST" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    if ((!apt_updated)); then
        run_logged "$LOGS/apt.log" apt-get update
        apt_updated=1
    fi
fi

orig_tarball() { compgen -G "$SRC/$1_*.orig.tar.*" | grep -v '\.asc$' | head -n 1 || true; }

fetch_source() {
    local pkg=$1
    [[ -n $(orig_tarball "$pkg") ]] && return 0
    echo "win deps: downloading $pkg source"
    if ! (cd "$SRC" && apt-get source --tar-only "$pkg" >>"$LOGS/apt.log" 2>&1); then
        ((!apt_updated)) || { echo "win deps: apt-get source $pkg failed" >&2; tail -n 20 "$LOGS/apt.log" >&2; exit 1; }
        run_logged "$LOGS/apt.log" apt-get update
        apt_updated=1
        (cd "$SRC" && run_logged "$LOGS/apt.log" apt-get source --tar-only "$pkg")
    fi
    [[ -n $(orig_tarball "$pkg") ]] || { echo "win deps: no orig tarball for $pkg in $SRC" >&2; exit 1; }
}

# Unpacks a fresh copy of a package's orig tarball and prints its directory.
unpack() {
    local pkg=$1 tarball dir
    tarball=$(orig_tarball "$pkg")
    dir=$WORK/$pkg
    rm -rf "$dir"
    mkdir -p "$dir"
    tar -xf "$tarball" -C "$dir" --strip-components=1
    echo "$dir"
}

toolchain() {
    local target=$1 file=$ROOT/cmake/toolchain-$1.cmake t
    if [[ ! -f $file ]]; then
        t=$(triplet "$target")
        file=$DEPS/toolchain-$target.cmake
        {
            echo "set(CMAKE_SYSTEM_NAME Windows)"
            echo "set(CMAKE_C_COMPILER $t-gcc-posix)"
            echo "set(CMAKE_CXX_COMPILER $t-g++-posix)"
            echo "set(CMAKE_RC_COMPILER $t-windres)"
            echo "set(CMAKE_FIND_ROOT_PATH /usr/$t $DEPS/$target)"
            echo "set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)"
            echo "set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)"
            echo "set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)"
            echo "set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)"
        } >"$file"
    fi
    echo "$file"
}

# build NAME TARGET SRCPKG [cmake options...]
build() {
    local name=$1 target=$2 pkg=$3
    shift 3
    local prefix=$DEPS/$target st log srcdir bdir t cflags=""
    st=$(stamp "$name" "$target")
    [[ -f $st ]] && return 0
    log=$LOGS/$name-$target.log
    t=$(triplet "$target")
    [[ $target == win32 ]] && cflags="-msse2 -mfpmath=sse"
    : >"$log"
    fetch_source "$pkg"
    echo "win deps: building $name for $target (log: ${log#"$ROOT"/})"
    srcdir=$(unpack "$pkg")
    bdir=$WORK/build-$name-$target
    rm -rf "$bdir"
    run_logged "$log" env CFLAGS="$cflags" CXXFLAGS="$cflags" cmake -S "$srcdir" -B "$bdir" \
        -DCMAKE_TOOLCHAIN_FILE="$(toolchain "$target")" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_INSTALL_LIBDIR=lib \
        -DCMAKE_PREFIX_PATH="$prefix" \
        "$@"
    run_logged "$log" cmake --build "$bdir" -j2
    run_logged "$log" cmake --install "$bdir"
    rm -rf "$prefix/share/man" "$prefix/share/doc" # man pages and docs are not needed here
    rmdir "$prefix/share" 2>/dev/null || true
    rm -rf "$bdir" "$srcdir"
    mkdir -p "$(dirname "$st")"
    basename "$(orig_tarball "$pkg")" >"$st"
}

for target in win64 win32; do
    t=$(triplet "$target")
    build libpng "$target" libpng1.6 \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DPNG_FRAMEWORK=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_EXECUTABLES=ON \
        -DZLIB_INCLUDE_DIR="/usr/$t/include" -DZLIB_LIBRARY="/usr/$t/lib/libz.a"
    if [[ $target == win64 ]]; then
        build libsndfile "$target" libsndfile \
            -DBUILD_SHARED_LIBS=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
            -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
            -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF \
            -DENABLE_PACKAGE_CONFIG=ON -DINSTALL_PKGCONFIG_MODULE=ON
    fi
done

rm -rf "$WORK"
echo "win deps: done, installed in ${DEPS#"$ROOT"/}/win64 and ${DEPS#"$ROOT"/}/win32"
