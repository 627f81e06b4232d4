#!/usr/bin/env bash
# Runs the Windows programs that scripts/build-windows.sh built under Wine, in a new temporary
# prefix with one wineserver for the whole run, and installs and uninstalls its installer there.
# $QUILLFEN_WINDOWS_BUILD and $QUILLFEN_LINUX_BUILD name the build folders (build-windows, build).
set -euo pipefail
cd "$(dirname "$0")/.."
# One X display (Xvfb) for the whole run: Wine's desktop starts with the prefix and keeps the
# display it found then.
if [ -z "${QUILLFEN_UNDER_XVFB:-}" ]; then
    exec env QUILLFEN_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1366x768x24" "$0" "$@"
fi
build=$PWD/${QUILLFEN_WINDOWS_BUILD:-build-windows}

export WINEPREFIX=$(mktemp -d /tmp/quillfen-wine-XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Names beyond ASCII go to Wine's programs as UTF-8.
export LC_ALL=C.UTF-8
cli() { wine "$build/quillfen-cli.exe" "$@"; }
fail() { echo "FAILED: $*" >&2; exit 1; }
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

echo "== the registry store and quillfen-cli on the prefix's registry"
users='HKLM\Software\Quillfen Test\Users'
# The first reg add after wineboot has been seen to fail once.
for attempt in 1 2 3; do
    wine reg add "$users\\Alice" /v DatabaseName /d 'C:\quillfen-test\Zoë €\ALICE.DAT' /f /reg:32 \
        >/dev/null && break
    [ "$attempt" -eq 3 ] && fail "wine reg add"
    sleep 1
done
wine reg add "$users\\Zoë Ωmega" /v DatabaseName /d 'C:\Ω.DAT' /f /reg:32 >/dev/null
# A name that no single-byte code page holds.
wine reg add "$users\\中文" /v DatabaseName /d 'C:\quillfen-test\Zoë €\Ωmega.dat' /f /reg:32 \
    >/dev/null
wine reg add "$users\\multi" /v DatabaseName /t REG_MULTI_SZ /d 'first\0second' /f /reg:32 >/dev/null
wine reg add "$users\\multi" /v Number /t REG_DWORD /d 5 /f /reg:32 >/dev/null
wine reg add "$users\\Bob64" /v DatabaseName /d 'C:\BOB.DAT' /f >/dev/null
wine "$build/windows_registry_tests.exe"

folder="$WINEPREFIX/drive_c/quillfen-test/Zoë €"
mkdir -p "$folder"
# A name beyond the ANSI code page arrives whole.
cli demo 'C:\quillfen-test\Zoë €\ALICE.DAT' >/dev/null
cli demo 'C:\quillfen-test\Zoë €\Ωmega.dat' >/dev/null
[ -f "$folder/ALICE.DAT" ] && [ -f "$folder/Ωmega.dat" ] || fail "demo files not written"
key='Software\Quillfen Test\Users'
expected=$(printf 'Alice\tC:\\quillfen-test\\Zoë €\\ALICE.DAT\nmulti\tfirst\nZoë Ωmega\tC:\\Ω.DAT
中文\tC:\\quillfen-test\\Zoë €\\Ωmega.dat\n')
[ "$(cli profiles --key "$key")" = "$expected" ] || fail "profiles: $(cli profiles --key "$key")"
cli load --key "$key" Alice >/dev/null || fail "load"
[ "$(cli load --key "$key" 中文)" = "$(cli show 'C:\quillfen-test\Zoë €\Ωmega.dat')" ] ||
    fail "load 中文"
# On a console (here a terminal's) the names are shown whole, not read in its code page.
script -qec "wine '$build/quillfen-cli.exe' profiles --key '$key'" /dev/null | grep -q 'Zoë Ωmega' ||
    fail "the names on a console"
cp "$folder/ALICE.DAT" "$WINEPREFIX/before.dat"
# Same bytes in, same bytes out: a save of the demo tree gives the demo file, the old one kept.
cli save --key "$key" Alice 'C:\quillfen-test\Zoë €\Ωmega.dat' >/dev/null || fail "save"
cmp "$folder/ALICE.DAT" "$folder/Ωmega.dat" || fail "saved bytes"
cmp "$folder/ALICE.DAT_backup" "$WINEPREFIX/before.dat" || fail "backup bytes"
# Output is binary: line feeds alone.
cli show 'C:\quillfen-test\Zoë €\ALICE.DAT' | grep -q $'\r' && fail "carriage returns in output"
echo "quillfen-cli on the registry: ok"

echo "== quillfen-cli preview from synthetic Windows graphics"
# One terrain piece of 8 x 2 (16 x 4 in the big pictures) in set 0's ground file, its sprite of
# four rows of one packet, a palette of 16 colours, no objects; a level with the piece at 0,0.
game="$WINEPREFIX/drive_c/pv/game"
mkdir -p "$game/styles"
{ head -c 448 /dev/zero; printf '\x08\x02'; head -c 606 /dev/zero; } >"$game/styles/ground0o.dat"
{ printf ' LAP\x10\x00'; for _ in $(seq 16); do printf '\x3f\x7f\xbf\x00'; done; } \
    >"$game/styles/level0.pal"
{ printf 'SRLE\x01\x00\x08\x00\x00\x00\x00\x00\x10\x00\x04\x00\x10\x00\x04\x00'
  for _ in 1 2 3 4; do printf '\x90'; head -c 16 /dev/zero | tr '\0' '\11'; printf '\x80'; done
} >"$game/styles/level0b.spr"
printf 'SRLE\x00\x00\x08\x00' >"$game/styles/level0ob.spr"
{ head -c 288 /dev/zero; printf '\x00\x10\x02\x00'; head -c 1596 /dev/zero | tr '\0' '\377'
  head -c 128 /dev/zero; printf '%-32s' Preview; } >"$WINEPREFIX/drive_c/pv/level.lvl"
cli preview 'C:\pv\level.lvl' --graphics 'C:\pv\game' --out 'C:\pv\level.png' >/dev/null ||
    fail "preview"
# The PNG's width and height, big-endian words at 16: the big pictures' 3168 x 320.
size=$(od -An -tu1 -j16 -N8 "$WINEPREFIX/drive_c/pv/level.png" | tr -s ' ')
[ "$size" = " 0 0 12 96 0 0 1 64" ] || fail "the preview's size: $size"
echo "quillfen-cli preview: ok"

echo "== quillfen-cli imports packs named by any Windows path, as the Linux build does"
linux_cli=$PWD/${QUILLFEN_LINUX_BUILD:-build}/quillfen-cli
[ -x "$linux_cli" ] || fail "$linux_cli is not there: build the Linux programs first"
packs="$WINEPREFIX/drive_c/LEMM/PACKS"
mkdir -p "$packs" "$WINEPREFIX/drive_c/imported" "$WINEPREFIX/linux-imported"
# An original pack, a sequel's (its graphics sets renumbered, a big picture skipped), and one in
# lower case.
cp fuzz/corpus/level_pack/four-levels "$packs/LEVEL000.DAT"
cp fuzz/corpus/level_pack/big-picture-and-sequel-set "$packs/DLVEL001.DAT"
cp fuzz/corpus/level_pack/two-levels "$packs/level002.dat"
cli import 'C:\LEMM\PACKS\LEVEL000.DAT' --to 'C:\imported' >/dev/null || fail "import by a full path"
(cd "$packs/.." && cli import 'PACKS\DLVEL001.DAT' --to '..\imported') >/dev/null ||
    fail "import by a relative path"
(cd "$packs" && cli import 'C:level002.dat' --to 'C:/imported') >/dev/null ||
    fail "import by a drive and a name"
for pack in LEVEL000.DAT DLVEL001.DAT level002.dat; do
    "$linux_cli" import "$packs/$pack" --to "$WINEPREFIX/linux-imported" >/dev/null
done
[ "$(ls "$WINEPREFIX/linux-imported" | wc -l)" = 7 ] || fail "the Linux build's import"
diff -r "$WINEPREFIX/drive_c/imported" "$WINEPREFIX/linux-imported" || fail "imported files"
echo "imports: ok"

echo "== the zip, unpacked, runs on its own"
unpacked="$WINEPREFIX/drive_c/unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$OLDPWD/dist/quillfen-windows-x64.zip")
for file in quillfen.exe quillfen-cli.exe readme.html LICENSE.txt; do
    [ -f "$unpacked/$file" ] || fail "the zip lacks $file"
done
grep -q 'Wine prefix' "$unpacked/readme.html" && fail "the zip's readme describes the Linux window"
wine "$unpacked/quillfen-cli.exe" demo 'C:\unpacked\demo.dat' >/dev/null
wine "$unpacked/quillfen-cli.exe" check 'C:\unpacked\demo.dat' >/dev/null || fail "the zip's cli"
echo "the zip: ok"

echo "== the installer installs for the user, and its uninstaller removes what it installed"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
# Windows' folders of this prefix's user, as host paths.
folder() { winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')"; }
installed="$(folder LOCALAPPDATA)/Programs/Quillfen"
settings="$(folder APPDATA)/Quillfen"
menu="$(folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Quillfen Level Adder"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillfen'
setup=dist/quillfen-setup-$version-x64.exe
# The uninstaller in the folder $1 runs from a copy in %TEMP% and returns at once: wait for the
# copy to end.
uninstall() {
    wine "$1/uninstall.exe" /S "${@:2}" || fail "the uninstaller"
    for _ in $(seq 120); do pgrep -f '~nsu[^ ]*\.tmp\\Un' >/dev/null || return 0; sleep 0.5; done
    fail "the uninstaller did not end"
}
# Another program is the default for .lvl: the installer only adds itself to Open with.
wine reg add 'HKCU\Software\Classes\.lvl' /ve /d Other.Level /f >/dev/null
mkdir -p "$settings" && echo 'C:\LEMM' >"$settings/profile.txt"
wine "$setup" /S || fail "the installer"
for file in quillfen.exe quillfen-cli.exe readme.html LICENSE.txt uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the installer did not install $file"
done
grep -q '%LOCALAPPDATA%\\Programs\\Quillfen' "$installed/readme.html" ||
    fail "the readme does not name the folder the installer installs into"
for link in "Quillfen Level Adder.lnk" "Quillfen Level Adder readme.lnk"; do
    [ -f "$menu/$link" ] || fail "no Start menu entry $link"
done
grep -aq 'Programs\\Quillfen\\quillfen.exe' "$menu/Quillfen Level Adder.lnk" ||
    fail "the Start menu entry does not start the installed quillfen.exe"
entry=$(wine reg query "$uninstall_key" | tr -d '\r')
for value in "DisplayName REG_SZ Quillfen Level Adder" "DisplayVersion REG_SZ $version" \
    "Publisher REG_SZ The Quillfen Level Adder authors" "DisplayIcon REG_SZ .*quillfen.exe,0" \
    "UninstallString REG_SZ \".*uninstall.exe\"" "EstimatedSize REG_DWORD 0x[0-9a-f]*[1-9a-f]"; do
    grep -Eq "^ +${value// /[[:space:]]+}\$" <<<"$entry" || fail "the uninstall entry lacks $value: $entry"
done
wine reg query 'HKCU\Software\Classes\.lvl\OpenWithProgids' /v Quillfen.Level >/dev/null ||
    fail "quillfen.exe is not offered to open .lvl files"
wine reg query 'HKCU\Software\Classes\.lvl' /ve | grep -q Other.Level || fail "the installer took .lvl"
wine "$installed/quillfen-cli.exe" demo 'C:\installed-demo.dat' >/dev/null &&
    wine "$installed/quillfen-cli.exe" check 'C:\installed-demo.dat' >/dev/null ||
    fail "the installed quillfen-cli"
# A level file the player keeps beside the programs stays, with its folder.
echo level >"$installed/MINE.LVL"
uninstall "$installed"
[ "$(ls -A "$installed")" = MINE.LVL ] || fail "the uninstaller left or took: $(ls -A "$installed")"
[ ! -e "$menu" ] || fail "the Start menu entries are still there"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
wine reg query 'HKCU\Software\Classes\Quillfen.Level' >/dev/null 2>&1 && fail "the ProgID is still there"
wine reg query 'HKCU\Software\Classes\.lvl' /ve | grep -q Other.Level || fail "the uninstaller took .lvl"
[ -f "$settings/profile.txt" ] || fail "the uninstaller removed the settings unasked"
[ -f "$WINEPREFIX/drive_c/installed-demo.dat" ] || fail "the uninstaller removed a profile's file"
# Asked to, it removes the settings too.
wine "$setup" /S || fail "the installer, again"
uninstall "$installed" /RemoveSettings
[ ! -e "$settings" ] || fail "the settings are still there"
# For all users (Wine's user is an administrator): into Program Files, with the machine's entries.
wine "$setup" /S /AllUsers || fail "the installer for all users"
everyone="$(folder ProgramW6432)/Quillfen"
[ -f "$everyone/quillfen.exe" ] || fail "nothing installed into Program Files"
[ -f "$(folder ProgramData)/Microsoft/Windows/Start Menu/Programs/Quillfen Level Adder/Quillfen Level Adder.lnk" ] ||
    fail "no Start menu entry for all users"
wine reg query "${uninstall_key/HKCU/HKLM}" /v DisplayVersion >/dev/null || fail "no uninstall entry for all users"
uninstall "$everyone"
[ ! -e "$everyone" ] || fail "the uninstaller for all users left $(ls -A "$everyone")"
wine reg query "${uninstall_key/HKCU/HKLM}" >/dev/null 2>&1 && fail "the uninstall entry for all users is still there"
echo "the installer: ok ($(stat -c %s "$setup") bytes)"

echo "== the level-file list's speed"
# 10,000 level-sized files, made in one go.
many="$WINEPREFIX/drive_c/many"
mkdir -p "$many"
head -c $((2048 * 10000)) /dev/zero | (cd "$many" && split -b 2048 -a 5 -d --additional-suffix=.lvl - LEVEL)
wine "$build/bench/win32_level_list_timing.exe" 'C:\many'

echo "== the Win32 window's repaints, keys, kept layout and Help"
(cd "$WINEPREFIX/drive_c" && wine "$build/win32_window_tests.exe") || fail "win32_window_tests"

echo "== the user scenarios, each on a fresh fixture, through the Win32 window's own controls"
# The fixture: the demo prefix's drive C (profiles Alice, Bob and Zoë, their level files, and
# 中文玩家 on Bob's file), a DOS pack of two levels, the profiles registered where the game
# registers them, and the folder list starting in C:\LEMM\LEVELS.
demo="$WINEPREFIX/demo"
cli demo-prefix "Z:$(printf '%s' "$demo" | tr / '\\')" >/dev/null || fail "demo-prefix"
mkdir -p "$demo/drive_c/LEMM/PACKS"
wine "$build/make_scenario_pack.exe" "Z:$(printf '%s' "$demo/drive_c/LEMM/PACKS/LEVEL000.DAT" | tr / '\\')" ||
    fail "make_scenario_pack"
game='HKLM\SOFTWARE\Visual Sciences\Windows Lemmings\Users'
for name in Alice:ALICE Bob:BOB Zoë:ZOE 中文玩家:BOB; do
    wine reg add "$game\\${name%%:*}" /v DatabaseName /d "C:\\LEMM\\USERS\\${name#*:}.DAT" /f /reg:32 \
        >/dev/null || fail "wine reg add $name"
done
work="$WINEPREFIX/drive_c/work"
mkdir -p "$work"
cp tests/scenarios/user_scenarios.txt "$work/scenarios.txt"
printf 'C:\\LEMM\\LEVELS\r\nSOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\r\n' >"$work/profile.txt"
# Runs scenario $1 on a fresh copy of the fixture; its log is $work/log.txt.
run_scenario() {
    rm -rf "$WINEPREFIX/drive_c/LEMM"
    # Each run opens the window at its first size and in the startup folder, not where the run
    # before it left them.
    rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Quillfen/{window.ini,last.txt}
    cp -r "$demo/drive_c/LEMM" "$WINEPREFIX/drive_c/LEMM"
    (cd "$work" && timeout 60 wine "$build/win32_scenarios.exe" 'C:\work\scenarios.txt' "$1" \
        'C:\work\log.txt')
}
scenarios=$(grep -c '^scenario ' tests/scenarios/user_scenarios.txt)
for number in $(seq 1 "$scenarios"); do
    run_scenario "$number" || { cat "$work/log.txt"
        fail "$(sed -n 's/^FAILED: //p' "$work/log.txt" | grep . || echo "scenario $number did not end")"; }
    echo "$(head -1 "$work/log.txt"): ok"
done
# The agreement to the disclaimer is kept where Windows keeps a program's settings.
compgen -G "$WINEPREFIX/drive_c/users/*/AppData/Roaming/Quillfen/agreed.txt" >/dev/null ||
    fail "the agreement to the disclaimer is not in %APPDATA%\\Quillfen"

echo "== at 150% and 200% the whole window is on a 1366 x 768 screen"
for dpi in 144 192; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    run_scenario 1 || { cat "$work/log.txt"; fail "scenario 1 at $dpi dpi"; }
    placed=$(grep -m1 '^window: ' "$work/log.txt")
    read -r _ left top right bottom _ shown _ screen <<<"$placed"
    [ "$shown" = "$dpi" ] && [ "$screen" = 1366x768 ] || fail "not at $dpi dpi on 1366x768: $placed"
    [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ "$right" -le 1366 ] && [ "$bottom" -le 768 ] ||
        fail "the window beyond the screen: $placed"
    grep '^off screen: ' "$work/log.txt" && fail "controls off the screen at $dpi dpi"
    echo "$placed: ok"
done
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null
echo "the Win32 window: ok"
