#!/usr/bin/env bash
# Whole jobs through the program a user runs, beside SoX doing the same work
# on the same file in the same run. For the 10-minute and the 60-minute
# 44.1 kHz stereo 16-bit sound, each job starts kelvora.exe under wine64 on a
# copy of the sound, selects all, runs the effect through its command and
# dialog and saves; the time runs from the command to the saved file
# (bench/job_win_bench.cpp). SoX (`sox -D`, no dither) is timed as a whole
# process, its read and write included, which our figure leaves out: our open
# time is printed beside it. Then the memory of a long sound's undo history
# (Amplify, Reverse, Echo and Convert Format in a row on the 60-minute
# sound) and the start-up time.
# Usage: scripts/job-bench.sh [--keep] [minutes...]   (default: 10 60)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

keep=0
minutes=()
for a in "$@"; do
    case "$a" in
    --keep) keep=1 ;;
    *[!0-9]* | "") echo "job-bench: unknown argument $a" >&2; exit 2 ;;
    *) minutes+=("$a") ;;
    esac
done
[ ${#minutes[@]} -gt 0 ] || minutes=(10 60)

JOBS=(amplify fade echo reverse lowpass pitch tone convert)
data="$root/build/bench-data/jobs"
mkdir -p "$data"

cleanup() {
    if [ -n "${KV_WINESERVER:-}" ]; then
        kv_env_stop
    fi
    if [ "$keep" -eq 0 ]; then
        rm -rf "$data"
    fi
}
trap cleanup EXIT

if [ ! -f "$root/build/win64/build.ninja" ]; then
    cmake -S "$root" -B "$root/build/win64" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null || exit 1
fi
cmake --build "$root/build/win64" --target kelvora job_win_bench || { echo "job-bench: build FAILED"; exit 1; }

# shellcheck source=test-env.sh
source "$root/scripts/test-env.sh"
# The benchmarks' own prefix: stopping its server must not stop a test run.
KV_ENV_DIR="$root/build/bench-env"
mkdir -p "$KV_ENV_DIR"
kv_start_display || exit 1
kv_start_wine || exit 1
# Unmanaged windows: on a display without a window manager Wine would wait
# about two seconds whenever the effect's dialog closes.
"$KV_WINE" reg add 'HKCU\Software\Wine\AppDefaults\KELVORA.EXE\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 </dev/null

# The SoX options of each job: out_opts before the output file, effect after
# it; $2 is the sound's length in seconds.
sox_options() {
    out_opts=()
    case "$1" in
    amplify) effect=(vol 2) ;;
    fade) effect=(fade t 0 "$2" "$2") ;;
    echo) effect=(echo 1 1 100 0.35) ;;
    reverse) effect=(reverse) ;;
    lowpass) effect=(fir 0.333333 0.333333 0.333333) ;;
    pitch) effect=(speed 1.5) ;;
    tone) effect=(synth sine 1000) ;;
    convert) out_opts=(-r 22050 -c 1 -b 8); effect=() ;;
    esac
}

field() {  # RESULT line, key → value
    sed -n "s/.* $2=\([^ ]*\).*/\1/p" <<<"$1"
}

echo "=== whole jobs: kelvora.exe under $("$KV_WINE" --version 2>/dev/null) beside $(sox --version | sed 's/.*SoX //') ==="
echo "machine: $(nproc) CPUs, $(uname -m)"
status=0
for m in "${minutes[@]}"; do
    sound="$data/sound-$m.wav"
    secs=$((m * 60))
    [ -f "$sound" ] || sox -D -n -r 44100 -b 16 -c 2 "$sound" synth "$secs" sine 200-2000 sine 300-3000 vol 0.5
    wsound=$("$KV_WINE" winepath -w "$sound" 2>/dev/null)
    echo
    echo "--- $m minutes, $(($(stat -c %s "$sound") / 1048576)) MB ---"
    printf '%-8s %9s %9s %9s %7s %9s %9s  %s\n' job "ours s" "SoX s" "SoX/ours" met "ours MB" "SoX MB" \
        "(of ours: save s; our open s)"
    for job in "${JOBS[@]}"; do
        line=$("$KV_WINE" "$root/build/win64/job_win_bench.exe" --file "$wsound" --job "$job" 2>/dev/null \
            | tr -d '\r' | grep '^RESULT')
        if [ -z "$line" ]; then
            echo "$job: FAILED"
            status=1
            continue
        fi
        ours=$(field "$line" seconds)
        sox_options "$job" "$secs"
        /usr/bin/time -f "%e %M" -o "$data/time.txt" sox -D "$sound" "${out_opts[@]}" "$data/sox-out.wav" \
            "${effect[@]}" 2>/dev/null
        read -r sox_s sox_kb <"$data/time.txt"
        rm -f "$data/sox-out.wav"
        ratio=$(awk -v a="$ours" -v b="$sox_s" 'BEGIN { printf "%.2f", b / a }')
        met=$(awk -v r="$ratio" 'BEGIN { print (r >= 2 ? "2x" : r > 1 ? "yes" : "NO") }')
        printf '%-8s %9.2f %9.2f %9s %7s %9s %9d  (%s; %s)\n' "$job" "$ours" "$sox_s" "$ratio" "$met" \
            "$(field "$line" peak_mb)" $((sox_kb / 1024)) "$(field "$line" save)" "$(field "$line" open)"
    done
done

echo
big="$data/sound-${minutes[-1]}.wav"
wbig=$("$KV_WINE" winepath -w "$big" 2>/dev/null)
line=$("$KV_WINE" "$root/build/win64/job_win_bench.exe" --file "$wbig" --job history 2>/dev/null | tr -d '\r' \
    | grep '^RESULT')
if [ -n "$line" ]; then
    echo "undo history of the ${minutes[-1]}-minute sound (Amplify, Reverse, Echo, Convert Format; default UNDO):"
    # The default UNDO setting keeps 15 steps and sets no memory limit, so
    # all four stay: Amplify's, Echo's and Convert Format's records each hold
    # the whole sound, Reverse's none, and the converted sound is an eighth
    # of it (half the rate, one channel, 8 bits).
    sound_mb=$(field "$line" sound_mb)
    peak_mb=$(field "$line" peak_mb)
    bound=$(awk -v s="$sound_mb" 'BEGIN { printf "%.0f", s * (3 + 1 / 8) * 1.05 }')
    met=$(awk -v p="$peak_mb" -v b="$bound" 'BEGIN { print (p <= b) ? "met" : "MISSED" }')
    echo "  sound $sound_mb MB, peak working set $peak_mb MB; sound and kept records + 5 % = $bound MB: $met"
    restored=$(field "$line" restored)
    echo "  undone afterwards: $(field "$line" undone) of 4 steps; the sound data equal to the original: $restored"
    [ "$met" = met ] && [ "$restored" = yes ] || status=1
else
    echo "history: FAILED"
    status=1
fi

echo
for args in "--startup 5" "--startup 3 --file $("$KV_WINE" winepath -w "$data/sound-${minutes[0]}.wav" 2>/dev/null)"; do
    # shellcheck disable=SC2086
    line=$("$KV_WINE" "$root/build/win64/job_win_bench.exe" $args 2>/dev/null | tr -d '\r' | grep '^RESULT')
    echo "${line:-startup: FAILED}" | sed 's/^RESULT //'
    case "$args" in
    "--startup 5")
        best=$(field "$line" best)
        echo "  start-up to the window under 0.5 s: $(awk -v b="${best:-9}" 'BEGIN { print (b < 0.5) ? "met" : "MISSED" }')"
        ;;
    esac
done

echo
# The shipped programs carry no debug information: it lies in kelvora.dbg beside them.
for exe in "$root"/build/win64/kelvora.exe "$root"/build/win32/kelvora.exe; do
    [ -f "$exe" ] || continue
    sections=$(x86_64-w64-mingw32-objdump -h "$exe" | awk '$2 ~ /^\.debug/' | wc -l)
    dbg="${exe%.exe}.dbg"
    printf '%s: %.1f MB, %d debug sections (%s)' "${exe#"$root"/}" "$(awk -v b="$(stat -c %s "$exe")" \
        'BEGIN { print b / 1048576 }')" "$sections" "$([ "$sections" -eq 0 ] && echo met || echo MISSED)"
    [ -f "$dbg" ] && printf '; debug information in %s, %.1f MB' "$(basename "$dbg")" \
        "$(awk -v b="$(stat -c %s "$dbg")" 'BEGIN { print b / 1048576 }')"
    x86_64-w64-mingw32-objdump -p "$exe" | grep -q "large address aware" && printf '; large-address-aware'
    echo
done
exit $status
