#!/usr/bin/env bash
# Runs a Windows test program in a Wine prefix of its own, beside the program
# in the build tree, for tests that register, install and uninstall: the
# shared test prefix stays registered and untouched. The prefix is created on
# first use; its server is started here and stopped afterwards.
# Usage: with_own_prefix.sh <wine64> <program.exe> [args...]
set -u
wine=$1; shift
WINEPREFIX="$(cd "$(dirname "$1")" && pwd)/regprefix"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
server=$(dirname "$wine")/wineserver
[ -x "$server" ] || server=wineserver
# As for the shared prefix: a running server and service processes keep the
# program starts short and Wine's services off CTest's output pipe.
"$server" -p >/dev/null 2>&1 </dev/null
"$wine" wineboot >/dev/null 2>&1 </dev/null
"$wine" "$@"
rc=$?
"$server" -k >/dev/null 2>&1 </dev/null
exit $rc
