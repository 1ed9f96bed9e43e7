#!/usr/bin/env bash
# Shows the frame inside a Wine virtual desktop (so the caption and borders
# are drawn) and writes screenshots of it to build/screenshots/: empty, with a
# stereo sound loaded, while playing, with the volume popup open, with the
# spectrogram open while playing, and zoomed in on a selection three times,
# each at another scale: many samples per pixel column, one to three, and
# more columns than samples; then every option dialog, collapsed and, where
# it has "More >>", expanded (name-more).
# Usage: scripts/screenshot.sh [empty|stereo|playing|volume|spectrum|many|few|stairs|<dialog>[-more]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh >/dev/null
scripts/build.sh win64 >/dev/null
out="$root/build/screenshots"
box="$root/build/shotbox"
mkdir -p "$out" "$box"
cp build/win64/kelvora.exe "$box/KELVORA.EXE"
sox -D -n -r 22050 -b 16 -c 2 "$box/stereo.wav" synth 4 sine 220-660 sine 330 vol 0.7 remix 1 2

# shellcheck source=test-env.sh
source scripts/test-env.sh
kv_env_start
exe=$("$KV_WINE" winepath -w "$box/KELVORA.EXE" 2>/dev/null)
sound=$("$KV_WINE" winepath -w "$box/stereo.wav" 2>/dev/null)
send=build/win64/kv_send.exe

# Wine in a virtual desktop on Xvfb leaves a window that lies wholly over its
# owner undrawn (black), whatever program shows it: the dialogs are shot with
# the frame moved right, so that they stick out of it.
shot() {  # name, seconds to wait, program arguments...
    local name=$1 wait=$2 location=40,30,720,460; shift 2
    case "$commands" in 20[0-9][0-9]* | 3503) location=520,30,270,460 ;; esac
    printf '[Kelvora]\r\nDISPLAY=1,1,1,1\r\nLOCATION=%s\r\n' "$location" >"$box/KELVORA.INI"
    "$KV_WINE" explorer /desktop=kelvora,800x560 "$exe" "$@" >/dev/null 2>&1 &
    sleep "$wait"
    if [ -n "${commands:-}" ]; then
        # shellcheck disable=SC2086
        "$KV_WINE" explorer /desktop=kelvora,800x560 "$send" $commands >/dev/null 2>&1 || true
        sleep 3
    fi
    xwd -root -display "$DISPLAY" | convert xwd:- -crop 800x560+0+0 "$out/$name.png"
    "$KV_WINESERVER" -k >/dev/null 2>&1 || true
    sleep 1
    echo "$out/$name.png"
}

only=${1:-}
for spec in "empty|" "stereo|" "playing|4005 wait:800" "volume|4009" "spectrum|3209 4005 wait:800" \
    "many|drag:150-450 wait:500 3201 wait:500 drag:200-400" "few|drag:300-310 wait:500 3201 wait:500 drag:200-400" \
    "stairs|drag:300-302 wait:500 3201 wait:500 drag:200-300" \
    "amplify|2016" "amplify-more|2016 wait:1000 press:5002" "echo|2017" "echo-more|2017 wait:1000 press:5002" \
    "fade|2018" "fade-more|2018 wait:1000 press:5002" "pitch|2019" "pitch-more|2019 wait:1000 press:5002" \
    "background|2021" "fill|2022" "tone|2023" "tone-more|2023 wait:1000 press:5002" "noise|2024" \
    "display|2013" "properties|2010" "about|2041" "device|2012" "devinfo|2042" \
    "mixing|2015" "mixing-more|2015 wait:1000 press:5002" "convert|2011" "object|2014" \
    "help|3503"; do
    name=${spec%%|*}
    [ -z "$only" ] || [ "$only" = "$name" ] || continue
    args=()
    [ "$name" = empty ] || args=("$sound")
    commands=${spec#*|} shot "$name" 6 "${args[@]}"
done
