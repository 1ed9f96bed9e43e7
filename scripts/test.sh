#!/usr/bin/env bash
# Sets up the machine, builds all three targets and runs every test layer:
# the native core tests (sanitizers on), then the Windows-side and end-to-end
# tests under wine64 on a virtual display with a PulseAudio null sink.
# Ends with one summary line; the exit code is 0 only when everything passed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh || exit 1
mkdir -p build/logs
include_rc=0
scripts/check-includes.sh 2>&1 | tee build/logs/includes.log
include_rc=${PIPESTATUS[0]}
scripts/build.sh native win64 win32 || { echo "SUMMARY: build FAILED"; exit 1; }

# ctest's closing line: "NN% tests passed, F tests failed out of T"
count() {  # log file → "passed total"
    local line total failed
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    failed=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    [ -n "$total" ] || { echo "0 0"; return; }
    echo "$((total - failed)) $total"
}

native_rc=0
(cd build/native && ctest --output-on-failure) 2>&1 | tee build/logs/native.log
native_rc=${PIPESTATUS[0]}

# shellcheck source=test-env.sh
source scripts/test-env.sh
win_rc=0
if kv_env_start; then
    (cd build/win64 && ctest --output-on-failure --timeout 180) 2>&1 | tee build/logs/win64.log
    win_rc=${PIPESTATUS[0]}
else
    echo "test environment could not start" | tee build/logs/win64.log
    win_rc=1
fi
kv_env_stop

read -r np nt < <(count build/logs/native.log)
read -r wp wt < <(count build/logs/win64.log)
status=passed
if [ "$native_rc" -ne 0 ] || [ "$win_rc" -ne 0 ] || [ "$include_rc" -ne 0 ]; then status=FAILED; fi
layers=ok; [ "$include_rc" -eq 0 ] || layers="WRONG INCLUDES (build/logs/includes.log)"
echo "SUMMARY: $status: native $np/$nt, windows $wp/$wt test programs passed; layers $layers; i686 kelvora.exe linked"
[ "$status" = passed ]
