#!/usr/bin/env bash
# Builds the project and opens the window on the player profiles of the Wine prefix in
# $WINEPREFIX; without it, on a demo prefix made in build/demo-prefix. Without a display it shows
# the demo through the command-line tool instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILLFEN_WINDOW=ON >/dev/null
cmake --build build -j "$(nproc)" >/dev/null

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): showing the demo through quillfen-cli instead of the window."
    demo=$(mktemp -d)/demo-prefix
    build/quillfen-cli demo-prefix "$demo"
    echo "A demo prefix ($demo); the game's folder in it:"
    build/quillfen-cli game --prefix "$demo" Alice
    echo "The profile Alice, every level where the game looks for it:"
    build/quillfen-cli load --prefix "$demo" Alice
    build/quillfen-cli check-profile --prefix "$demo" Alice
    exit 0
fi

if [ -n "${WINEPREFIX:-}" ]; then
    exec build/quillfen
fi

# The demo prefix is made once and then kept, with whatever was saved into it. One made before
# the demo was laid out as an install (C:\LEMM\LEVEL) is set aside, not removed.
prefix=$PWD/build/demo-prefix
if [ -e "$prefix/system.reg" ] && [ ! -d "$prefix/drive_c/LEMM/LEVEL" ]; then
    mv "$prefix" "$(mktemp -u "$prefix.before-install-XXXXXX")"
fi
[ -e "$prefix/system.reg" ] || build/quillfen-cli demo-prefix "$prefix"
work=build/demo-run
mkdir -p "$work"
# The folder list starts at the demo's level files.
[ -e "$work/profile.txt" ] ||
    printf 'c:\\LEMM\\LEVELS\r\nSOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\r\n' >"$work/profile.txt"
echo "WINEPREFIX is not set: opening the window on the demo prefix $prefix"
cd "$work"
WINEPREFIX=$prefix exec ../quillfen
