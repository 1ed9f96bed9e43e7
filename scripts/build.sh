#!/usr/bin/env bash
# Configures and builds the three targets: the native core with its tests
# (sanitizers on), kelvora.exe for 64-bit Windows with the Windows-side tests,
# and kelvora.exe for 32-bit Windows.
# Usage: scripts/build.sh [native|win64|win32]...   (default: all three)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(native win64 win32)

configure() {  # dir, extra cmake args...
    local dir=$1; shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    fi
}

for t in "${targets[@]}"; do
    case "$t" in
    native)
        configure "$root/build/native" -DKV_SANITIZE=ON
        cmake --build "$root/build/native"
        ;;
    win64)
        configure "$root/build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
        cmake --build "$root/build/win64"
        ;;
    win32)
        configure "$root/build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
        cmake --build "$root/build/win32" --target kelvora
        ;;
    *)
        echo "build: unknown target $t" >&2
        exit 2
        ;;
    esac
done
