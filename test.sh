#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: in the Release build, the one the
# package is made from, and in a Debug build under AddressSanitizer and UndefinedBehaviorSanitizer
# (warnings are errors in both). Then each fuzz target runs over its seed inputs and for 15
# seconds of new ones.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# The RealWine tests drive a real Wine prefix, whose wineserver has once been seen to answer late
# on a busy machine: they get one more run when they fail, every other test fails at once.
run_tests() {
    local status=0
    ctest --output-on-failure -j "$jobs" -E '^RealWine' || status=1
    ctest --output-on-failure -j "$jobs" -R '^RealWine' --repeat until-pass:2 || status=1
    return $status
}

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"
(cd build && run_tests)

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLFEN_SANITIZE=ON -DQUILLFEN_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 &&
    run_tests)

scripts/fuzz.sh 15

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
