#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan on) and runs each for
# a bounded time, starting from the corpus kept in fuzz/corpus/<target>; what
# the run found is merged back into it, minimised (only inputs that reach new
# code are kept), so that later runs start where this one ended.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
only=${2:-}
dir="$root/build/fuzz"
if [ ! -f "$dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKV_FUZZ=ON -DKV_SANITIZE=ON >/dev/null
fi
for src in "$root"/fuzz/*_fuzz.cpp; do
    name=$(basename "$src" .cpp)
    [ -z "$only" ] || [ "$only" = "$name" ] || continue
    cmake --build "$dir" --target "$name"
    corpus="$dir/corpus/$name"
    kept="$root/fuzz/corpus/$name"
    mkdir -p "$corpus" "$kept"
    echo "fuzz: $name for ${seconds}s"
    (cd "$dir" && "./$name" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" "$kept")
    merged="$dir/corpus/$name.merged"
    rm -rf "$merged"
    mkdir -p "$merged"
    (cd "$dir" && "./$name" -merge=1 -max_len=65536 -rss_limit_mb=2048 "$merged" "$kept" "$corpus" \
        >/dev/null 2>&1)
    rm -rf "$kept"
    mv "$merged" "$kept"
    echo "fuzz: $name keeps $(ls "$kept" | wc -l) inputs in fuzz/corpus/$name"
done
