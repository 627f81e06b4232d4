#!/usr/bin/env bash
# Runs the Windows programs that scripts/build-windows.sh built under Wine, in a new temporary
# prefix with one wineserver for the whole run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build-windows

export WINEPREFIX=$(mktemp -d /tmp/quillfen-wine-XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
# One server, kept running until the end, for every program of the run.
wineserver -p
wineboot -i >/dev/null 2>&1

echo "== host tests under Wine"
wine "$build/host_tests.exe"
