#!/usr/bin/env bash
# Builds every target and runs every test: native, native under the sanitizers, the 32-bit
# Windows binaries' checks and the 64-bit Windows tests under Wine. Exits non-zero on any failure.
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${JOBS:-$(nproc)}

"$ROOT/scripts/install-deps.sh" || exit 1
"$ROOT/scripts/build.sh" native asan tsan win32 win64 || exit 1

# A fresh Wine prefix takes a while to create; do it once before tests run side by side.
prefix=$ROOT/build/win64/wineprefix
if [[ ! -f $prefix/system.reg ]]; then
    echo "test: creating the Wine prefix"
    WINEPREFIX=$prefix WINEDEBUG=-all timeout 300 wineboot --init >/dev/null 2>&1 || true
    WINEPREFIX=$prefix timeout 60 wineserver --wait || true
fi

failed=()
run() {
    local name=$1
    shift
    echo "== $name"
    if ! (cd "$ROOT/build/$name" && ctest --output-on-failure -j "$JOBS" "$@"); then
        failed+=("$name")
    fi
}

run native
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 run asan
TSAN_OPTIONS=halt_on_error=1 run tsan -R concurrency
run win32
run win64

if ((${#failed[@]})); then
    echo "test: FAILED in: ${failed[*]}"
    exit 1
fi
echo "test: all targets passed"
