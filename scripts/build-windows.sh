#!/usr/bin/env bash
# Builds the Windows programs (64-bit, statically linked) with MinGW-w64 into build-windows/.
# Installs the cross compiler when it is missing; exits 77 when it cannot be installed.
set -euo pipefail
cd "$(dirname "$0")/.."

compiler=g++-mingw-w64-x86-64-posix
if ! dpkg-query -W -f='${Status}' "$compiler" 2>/dev/null | grep -q 'install ok installed'; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "installing: $compiler"
    if ! { "${sudo[@]}" apt-get update -qq &&
           DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
               --no-install-recommends "$compiler"; }; then
        echo "cannot install $compiler" >&2
        exit 77
    fi
fi

cmake --no-warn-unused-cli -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-windows -j "$(nproc)" --target quillfen-cli quillfen host_tests windows_registry_tests \
    make_scenario_pack win32_scenarios win32_level_list_timing

# The zip: the programs (stripped), the help and the licence; it needs nothing installed.
stage=build-windows/package
rm -rf "$stage" && mkdir -p "$stage" dist
x86_64-w64-mingw32-strip -o "$stage/quillfen-cli.exe" build-windows/quillfen-cli.exe
[ -f build-windows/quillfen.exe ] && x86_64-w64-mingw32-strip -o "$stage/quillfen.exe" build-windows/quillfen.exe
cp build-windows/readme.html "$stage/readme.html"
cp LICENSE "$stage/LICENSE.txt"
rm -f dist/quillfen-windows-x64.zip
(cd "$stage" && cmake -E tar cf ../../dist/quillfen-windows-x64.zip --format=zip -- *)
echo "wrote dist/quillfen-windows-x64.zip"
