# Sourced by the test and run scripts: starts and stops what the Windows-side
# programs need, a virtual display, a PulseAudio daemon with a null sink and a
# Wine prefix in the build tree. Everything started is stopped by the process
# ids recorded here.

KV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KV_ENV_DIR="$KV_ROOT/build/env"
KV_STARTED_PIDS=()

kv_find_wine() {
    for w in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null)"; do
        if [ -n "$w" ] && [ -x "$w" ]; then echo "$w"; return 0; fi
    done
    return 1
}

kv_start_display() {
    local n
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$KV_ENV_DIR/xvfb.log" 2>&1 &
            KV_STARTED_PIDS+=($!)
            export DISPLAY=":$n"
            local i
            for i in $(seq 1 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && return 0
                sleep 0.1
            done
            echo "test-env: Xvfb :$n did not start" >&2
            return 1
        fi
    done
    echo "test-env: no free display number" >&2
    return 1
}

kv_start_pulse() {
    export XDG_RUNTIME_DIR="$KV_ENV_DIR/xdg"
    mkdir -p "$XDG_RUNTIME_DIR" "$KV_ENV_DIR/pulse-home"
    chmod 700 "$XDG_RUNTIME_DIR"
    cat >"$KV_ENV_DIR/pulse.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=kelvora_sink sink_properties=device.description=KelvoraSink
set-default-sink kelvora_sink
set-default-source kelvora_sink.monitor
PA
    export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
    HOME="$KV_ENV_DIR/pulse-home" pulseaudio -n -F "$KV_ENV_DIR/pulse.pa" --exit-idle-time=-1 \
        --daemonize=no --log-target=file:"$KV_ENV_DIR/pulse.log" >/dev/null 2>&1 &
    KV_STARTED_PIDS+=($!)
    local i
    for i in $(seq 1 50); do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "test-env: PulseAudio did not start (see $KV_ENV_DIR/pulse.log)" >&2
    return 1
}

kv_start_wine() {
    KV_WINE=$(kv_find_wine) || { echo "test-env: wine64 not found" >&2; return 1; }
    export KV_WINE
    export WINEPREFIX="$KV_ENV_DIR/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    local server
    server=$(dirname "$KV_WINE")/wineserver
    [ -x "$server" ] || server=wineserver
    KV_WINESERVER=$server
    # A persistent server and Wine's service processes already running keep each
    # test program's start short and keep them off CTest's output pipe.
    "$KV_WINESERVER" -p >/dev/null 2>&1 </dev/null
    "$KV_WINE" wineboot >/dev/null 2>&1 </dev/null
    # At its first start in a prefix the program offers to install itself and
    # registers with the shell, asking first. Here its class key is in place,
    # so it counts as registered and no start (a test's, or the demo's) waits
    # on a question; registration itself is tested in a prefix of its own
    # (tests/e2e/with_own_prefix.sh).
    "$KV_WINE" reg add 'HKCR\Kelvora' /ve /d Kelvora /f >/dev/null 2>&1 </dev/null
    # Xvfb has no window manager: Wine waits about 2 s for one to take each
    # closed dialog or message box back, unless its windows are unmanaged.
    # The test programs run so; the program itself, driven from outside by
    # the end-to-end tests, keeps the managed windows those tests were timed
    # against (their drivers post commands while its dialogs close).
    "$KV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    "$KV_WINE" reg add 'HKCU\Software\Wine\AppDefaults\KELVORA.EXE\X11 Driver' /v Managed /d Y /f \
        >/dev/null 2>&1 </dev/null
    # Wine draws the caption buttons with Marlett, which it does not find in
    # fonts-wine's folder by itself: without it they show as letters.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d "$fonts" ] && [ ! -e "$fonts/marlett.ttf" ] && [ -e /usr/share/wine/fonts/marlett.ttf ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
}

kv_env_start() {
    mkdir -p "$KV_ENV_DIR"
    kv_stop_leftovers
    trap kv_env_stop EXIT
    local rc=0
    kv_start_display && kv_start_pulse && kv_start_wine || rc=1
    kv_record_pids
    return $rc
}

kv_env_stop() {
    if [ -n "${KV_WINESERVER:-}" ]; then
        "$KV_WINESERVER" -k >/dev/null 2>&1 || true
    fi
    local p
    for p in "${KV_STARTED_PIDS[@]}"; do
        kill "$p" >/dev/null 2>&1 || true
    done
    for p in "${KV_STARTED_PIDS[@]}"; do
        wait "$p" >/dev/null 2>&1 || true
    done
    KV_STARTED_PIDS=()
    printf '' >"$KV_ENV_DIR/pids" 2>/dev/null || true
}

# A run that was killed leaves its processes: stop those recorded last time.
kv_stop_leftovers() {
    if [ -s "$KV_ENV_DIR/pids" ]; then
        xargs -r kill <"$KV_ENV_DIR/pids" >/dev/null 2>&1 || true
    fi
}

kv_record_pids() {
    printf '%s\n' "${KV_STARTED_PIDS[@]}" >"$KV_ENV_DIR/pids"
}
