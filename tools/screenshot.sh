#!/usr/bin/env bash
# Pictures the window as a user sees it: started under Xvfb on a demo prefix, the first profile
# loaded and a level clicked; saves docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLFEN_WINDOW=ON >/dev/null
cmake --build build -j "$(nproc)" --target quillfen quillfen-cli >/dev/null

root=$PWD
# A plain folder name, as the folder list shows it.
scratch=${TMPDIR:-/tmp}/quillfen-screenshot
rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/work" docs
build/quillfen-cli demo-prefix "$scratch/.wine"
printf 'c:\\LEMM\\LEVELS\r\nSOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\r\n' >"$scratch/work/profile.txt"

# QUILLFEN_SCREENSHOT makes the program load, click, save the picture and end by itself.
cd "$scratch/work"
WINEPREFIX="$scratch/.wine" QUILLFEN_SCREENSHOT="$root/docs/screenshot.png" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1024x768x24" "$root/build/quillfen"
echo "saved docs/screenshot.png"
