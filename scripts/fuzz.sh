#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan on) and runs each for
# a bounded time. Usage: scripts/fuzz.sh [seconds per target, default 60] [target]
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
    mkdir -p "$corpus"
    echo "fuzz: $name for ${seconds}s"
    (cd "$dir" && "./$name" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus")
done
