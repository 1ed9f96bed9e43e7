#!/usr/bin/env bash
# Builds the benchmark programs without sanitizers and runs them: natively
# (Release, in build/bench-native) and as the 64-bit Windows program under
# wine64 (build/win64). Each sound size of wave_bench runs in its own process,
# so the peak memory of its load is measured in a process that never held a
# sound before; effects_bench then runs the effects on the 10-minute sound and
# Delete, Undo and Redo on the 60-minute one, and convert_bench Convert Format
# and its undo on the 10-minute one; file_bench File Save and Open of the
# 60-minute one; clip_bench Copy of 100 MB and an Insert-mode Paste of the
# 60-minute sound from memory. The sounds are large (about 106 MB and 635 MB,
# plus two saved copies each); they live in build/bench-data and are removed
# at the end unless --keep. The window benchmarks run only as Windows
# programs, on a virtual display: view_win_bench paints the waveform window
# and times the frequency transform, progress_win_bench times an effect with
# and without its progress dialog. Naming programs runs only those.
# Usage: scripts/bench.sh [--keep] [native|win64]... [wave|effects|convert|file|clip|view|progress]...
#        (default: both builds, every program)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

keep=0
targets=()
programs=()
for a in "$@"; do
    case "$a" in
    --keep) keep=1 ;;
    native | win64) targets+=("$a") ;;
    wave | effects | convert | file | clip) programs+=("${a}_bench") ;;
    view | progress) programs+=("${a}_win_bench") ;;
    *)
        echo "bench: unknown argument $a" >&2
        exit 2
        ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=(native win64)
[ ${#programs[@]} -gt 0 ] || programs=(wave_bench effects_bench convert_bench file_bench clip_bench view_win_bench \
    progress_win_bench)

selected() {  # program name → whether it runs
    local p
    for p in "${programs[@]}"; do
        [ "$p" = "$1" ] && return 0
    done
    return 1
}

MINUTES=(10 60)
data="$root/build/bench-data"

cleanup() {
    if [ -n "${KV_WINESERVER:-}" ]; then
        kv_env_stop
    fi
    if [ "$keep" -eq 0 ]; then
        rm -rf "$data"
    else
        echo "bench: files kept in $data"
    fi
}
trap cleanup EXIT

build_native() {
    # Its own build directory: the test build has sanitizers on, which would
    # measure the sanitizers. The window benchmarks have no native build.
    local native=()
    local p
    for p in "${programs[@]}"; do
        [[ "$p" == *_win_bench ]] || native+=("$p")
    done
    [ ${#native[@]} -gt 0 ] || return 0
    cmake -S "$root" -B "$root/build/bench-native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_SANITIZE=OFF \
        >/dev/null && cmake --build "$root/build/bench-native" --target "${native[@]}"
}

build_win64() {
    if [ ! -f "$root/build/win64/build.ninja" ]; then
        cmake -S "$root" -B "$root/build/win64" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null || return 1
    fi
    cmake --build "$root/build/win64" --target "${programs[@]}"
}

build_type() {  # build dir → its CMAKE_BUILD_TYPE
    sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$1/CMakeCache.txt"
}

status=0
for t in "${targets[@]}"; do
    mkdir -p "$data/$t"
    case "$t" in
    native)
        build_native || { echo "bench: native build FAILED"; status=1; continue; }
        echo "=== native ($(build_type build/bench-native), $(uname -m), $(nproc) CPUs) ==="
        if selected wave_bench; then
            for m in "${MINUTES[@]}"; do
                "$root/build/bench-native/wave_bench" --minutes "$m" --dir "$data/$t" || status=1
                echo
            done
        fi
        if selected effects_bench; then
            "$root/build/bench-native/effects_bench" --minutes 10 --edit-minutes 60 --dir "$data/$t" || status=1
            echo
        fi
        if selected convert_bench; then
            "$root/build/bench-native/convert_bench" --minutes 10 --dir "$data/$t" || status=1
            echo
        fi
        if selected file_bench; then
            "$root/build/bench-native/file_bench" --minutes 60 --dir "$data/$t" || status=1
            echo
        fi
        if selected clip_bench; then
            "$root/build/bench-native/clip_bench" --minutes 60 || status=1
            echo
        fi
        ;;
    win64)
        build_win64 || { echo "bench: win64 build FAILED"; status=1; continue; }
        # shellcheck source=test-env.sh
        source "$root/scripts/test-env.sh"
        # A prefix of its own: stopping its server at the end must not stop
        # the Wine programs of a test run going on at the same time.
        KV_ENV_DIR="$root/build/bench-env"
        mkdir -p "$KV_ENV_DIR"
        # The window benchmarks draw on a virtual display of their own.
        kv_start_display || { echo "bench: no virtual display"; status=1; continue; }
        kv_start_wine || { echo "bench: wine64 could not start"; status=1; continue; }
        echo "=== win64 under $("$KV_WINE" --version 2>/dev/null) ($(build_type build/win64)) ==="
        # Relative paths: the program sees the work folder as its current directory.
        if selected wave_bench; then
            for m in "${MINUTES[@]}"; do
                (cd "$data/$t" && "$KV_WINE" "$root/build/win64/wave_bench.exe" --minutes "$m" --dir .) || status=1
                echo
            done
        fi
        if selected effects_bench; then
            (cd "$data/$t" && "$KV_WINE" "$root/build/win64/effects_bench.exe" --minutes 10 --edit-minutes 60 \
                --dir .) || status=1
            echo
        fi
        if selected convert_bench; then
            (cd "$data/$t" && "$KV_WINE" "$root/build/win64/convert_bench.exe" --minutes 10 --dir .) || status=1
            echo
        fi
        if selected file_bench; then
            (cd "$data/$t" && "$KV_WINE" "$root/build/win64/file_bench.exe" --minutes 60 --dir .) || status=1
            echo
        fi
        if selected clip_bench; then
            (cd "$data/$t" && "$KV_WINE" "$root/build/win64/clip_bench.exe" --minutes 60) || status=1
            echo
        fi
        if selected view_win_bench; then
            (cd "$data/$t" && "$KV_WINE" "$root/build/win64/view_win_bench.exe" --minutes 60 --dir .) || status=1
            echo
        fi
        if selected progress_win_bench; then
            # Inside a virtual desktop: on the bare display Wine waits two
            # seconds for a window manager whenever a window is hidden.
            exe=$("$KV_WINE" winepath -w "$root/build/win64/progress_win_bench.exe" 2>/dev/null)
            (cd "$data/$t" && "$KV_WINE" explorer /desktop=bench,1024x768 "$exe" --minutes 10) || status=1
            echo
        fi
        ;;
    esac
    if [ "$keep" -eq 0 ]; then
        rm -rf "${data:?}/$t"
    fi
done
exit $status
