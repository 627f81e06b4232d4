#!/usr/bin/env bash
# Pictures the window as a user sees it, with a window manager's title bar: started under Xvfb
# and openbox on a demo prefix, the first profile loaded and a level clicked. Saves
# docs/screenshot.png, and docs/screenshot-200.png at twice the scale on a 1366 x 768 screen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for tool in openbox import xdotool; do
    command -v "$tool" >/dev/null || {
        sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
            openbox imagemagick xdotool
        break
    }
done
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILLFEN_WINDOW=ON >/dev/null
cmake --build build -j "$(nproc)" --target quillfen-window-picture quillfen-cli >/dev/null

root=$PWD
# A plain folder name, as the folder list shows it.
scratch=${TMPDIR:-/tmp}/quillfen-screenshot
rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/work" docs
build/quillfen-cli demo-prefix "$scratch/.wine"
printf 'c:\\LEMM\\LEVELS\r\nSOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\r\n' >"$scratch/work/profile.txt"

# picture SCREEN SCALE OUT: the window on a screen of that size, framed by openbox.
picture() {
    local screen=$1 scale=$2 out=$3
    xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
        openbox & wm=$!
        sleep 1
        cd "$0/work"
        # The window loads and clicks by itself, then holds a while.
        WINEPREFIX="$0/.wine" XDG_CONFIG_HOME="$0/config" QT_QPA_PLATFORM=xcb \
            QT_SCALE_FACTOR="$1" "$2/build/quillfen-window-picture" "$0/self.png" 3000 & app=$!
        sleep 2.5
        window=$(xdotool search --name "Quillfen Level Adder" | tail -n 1)
        import -window "$window" -frame "$3"
        wait $app
        kill $wm' "$scratch" "$scale" "$root" "$out"
    echo "saved $out"
}
picture 1024x768 1 "$root/docs/screenshot.png"
picture 1366x768 2 "$root/docs/screenshot-200.png"
