#!/usr/bin/env bash
# Configures and builds the given targets (default: native win32 win64) into build/<target>.
#   native  Linux plug-ins (.so), host tool, tests and benchmarks
#   asan    the native tree with AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan    the native concurrency test with ThreadSanitizer
#   win32   32-bit Windows plug-in DLLs
#   win64   64-bit Windows plug-in DLLs, host tool and tests (run under Wine)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${JOBS:-$(nproc)}
targets=("$@")
((${#targets[@]})) || targets=(native win32 win64)

configure() {
    local dir=$ROOT/build/$1
    shift
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

for target in "${targets[@]}"; do
    echo "build: $target"
    case $target in
    native)
        configure native
        cmake --build "$ROOT/build/native" -j "$JOBS"
        ;;
    asan)
        configure asan -DBRAMBLE_SANITIZE=address,undefined -DBRAMBLE_BENCHMARKS=OFF
        cmake --build "$ROOT/build/asan" -j "$JOBS"
        ;;
    tsan)
        configure tsan -DBRAMBLE_SANITIZE=thread -DBRAMBLE_BENCHMARKS=OFF
        cmake --build "$ROOT/build/tsan" -j "$JOBS" --target concurrency_test
        ;;
    win32 | win64)
        "$ROOT/scripts/build-win-deps.sh"
        configure "$target" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$target.cmake" \
            -DBRAMBLE_BENCHMARKS=OFF
        cmake --build "$ROOT/build/$target" -j "$JOBS"
        ;;
    *)
        echo "build: unknown target '$target'" >&2
        exit 2
        ;;
    esac
done
