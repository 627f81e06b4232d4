#!/usr/bin/env bash
# Builds the Windows programs (64-bit, statically linked) with MinGW-w64 into build-windows/ (or
# the folder $QUILLFEN_WINDOWS_BUILD names), and writes the portable zip and the installer to dist/.
# Installs the cross compiler and NSIS when they are missing; exits 77 when they cannot be
# installed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLFEN_WINDOWS_BUILD:-build-windows}

missing=()
for package in g++-mingw-w64-x86-64-posix nsis; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "installing: ${missing[*]}"
    if ! { "${sudo[@]}" apt-get update -qq &&
           DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
               --no-install-recommends "${missing[@]}"; }; then
        echo "cannot install ${missing[*]}" >&2
        exit 77
    fi
fi

cmake --no-warn-unused-cli -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target quillfen-cli quillfen host_tests windows_registry_tests \
    make_scenario_pack win32_scenarios win32_window_tests win32_level_list_timing

# The zip: the programs (stripped), the help and the licence; it needs nothing installed.
stage=$build/package
rm -rf "$stage" && mkdir -p "$stage" dist
x86_64-w64-mingw32-strip -o "$stage/quillfen-cli.exe" "$build/quillfen-cli.exe"
x86_64-w64-mingw32-strip -o "$stage/quillfen.exe" "$build/quillfen.exe"
cp "$build/readme.html" "$stage/readme.html"
cp LICENSE "$stage/LICENSE.txt"
rm -f dist/quillfen-windows-x64.zip
(cd "$stage" && cmake -E tar cf "$OLDPWD/dist/quillfen-windows-x64.zip" --format=zip -- *)
echo "wrote dist/quillfen-windows-x64.zip"

# The installer of the same files (packaging/windows/quillfen.nsi); its warnings are errors.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
installer=dist/quillfen-setup-$version-x64.exe
makensis -V2 -WX -DVERSION="$version" -DSOURCE="$PWD" -DSTAGE="$PWD/$stage" \
    -DOUTFILE="$PWD/$installer" packaging/windows/quillfen.nsi
echo "wrote $installer"
