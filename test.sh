#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a plain build and one under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc)
# One test drives a real Wine prefix, whose wineserver has once been seen to answer late on a busy
# machine; a test that fails gets one more run, and a second failure fails the whole run.
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure --repeat until-pass:2 -j "$jobs")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLFEN_SANITIZE=ON -DQUILLFEN_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure --repeat until-pass:2 -j "$jobs")

# The Windows programs: built with MinGW-w64 and tested under Wine.
windows_build=0
scripts/build-windows.sh || windows_build=$?
if [ "$windows_build" -eq 77 ]; then
    echo "Windows build and tests skipped: MinGW-w64 cannot be installed on this machine"
elif [ "$windows_build" -ne 0 ]; then
    exit "$windows_build"
else
    scripts/test-windows.sh
fi
