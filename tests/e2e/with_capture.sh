#!/usr/bin/env bash
# Runs a Windows test program while the null sink's monitor is recorded.
# Usage: with_capture.sh <wine64> <program.exe> [args...]
set -u
wine=$1; shift
capture=$(mktemp --suffix=.raw)
# A short latency keeps the end of the capture from staying buffered.
parec --latency-msec=20 --format=s16le --rate=44100 --channels=1 \
    -d kelvora_sink.monitor >"$capture" &
recorder=$!
# The recorder takes about a second to connect: wait until it writes.
for _ in $(seq 1 100); do
    [ "$(stat -c %s "$capture")" -ge 8820 ] && break
    sleep 0.1
done
KV_CAPTURE_FILE=$capture WINEDEBUG=-all "$wine" "$@"
rc=$?
kill "$recorder" 2>/dev/null
wait "$recorder" 2>/dev/null
rm -f "$capture"
exit $rc
