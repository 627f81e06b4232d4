#!/usr/bin/env bash
# Makes dist/quillfen_<version>_<arch>.deb: the window, quillfen-cli, the desktop entry, the icon
# and the readme. Prints the package's path.
#
#   scripts/package-linux.sh [BUILD_DIR]
#
# BUILD_DIR (default build-package) is configured Release when it is new; an existing Release
# build folder such as build is packaged as it is, only the two programs brought up to date.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2

build=${1:-build-package}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLFEN_BENCH=OFF >/dev/null
fi
if ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt"; then
    echo "ERROR: $build is not a Release build; players get the Release build" >&2
    exit 1
fi
if grep -q '^QUILLFEN_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "ERROR: $build is a sanitizer build; package a plain one" >&2
    exit 1
fi
if grep -q '^QUILLFEN_WINDOW:BOOL=OFF' "$build/CMakeCache.txt"; then
    echo "ERROR: $build is built without the window; package a build with it" >&2
    exit 1
fi

cmake --build "$build" -j "$(nproc)" --target quillfen quillfen-cli >&2
(cd "$build" && cpack -G DEB >&2)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
package="$PWD/dist/quillfen_${version}_$(dpkg --print-architecture).deb"
[ -f "$package" ] || { echo "ERROR: cpack made no $package" >&2; exit 1; }
echo "$package"
