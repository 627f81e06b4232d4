#!/usr/bin/env bash
# Runs the Windows programs that scripts/build-windows.sh built under Wine, in a new temporary
# prefix with one wineserver for the whole run.
set -euo pipefail
cd "$(dirname "$0")/.."
# One X display (Xvfb) for the whole run: Wine's desktop starts with the prefix and keeps the
# display it found then.
if [ -z "${QUILLFEN_UNDER_XVFB:-}" ]; then
    exec env QUILLFEN_UNDER_XVFB=1 xvfb-run -a "$0" "$@"
fi
build=$PWD/build-windows

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
linux_cli=$PWD/build/quillfen-cli
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

echo "== the Win32 window, driven through its own controls under Xvfb"
work="$WINEPREFIX/drive_c/work"
mkdir -p "$work" "$WINEPREFIX/drive_c/game" "$WINEPREFIX/drive_c/levels"
wine reg add 'HKLM\SOFTWARE\Visual Sciences\Windows Lemmings\Users\Alice' /v DatabaseName \
    /d 'C:\game\ALICE.DAT' /f /reg:32 >/dev/null
cli demo 'C:\game\ALICE.DAT' >/dev/null
cp "$WINEPREFIX/drive_c/game/ALICE.DAT" "$work/original.dat"
# Level files as the game's: 2048 bytes, the lemmings at offset 3, the title padded to 32 bytes
# at offset 2016.
for level in a:80:Alpha b:20:Beta c:30:Gamma; do
    IFS=: read -r name lemmings title <<<"$level"
    { head -c 3 /dev/zero; printf "\\$(printf %03o "$lemmings")"; head -c 2012 /dev/zero
      printf '%-32s' "$title"; } >"$WINEPREFIX/drive_c/levels/$name.lvl"
done
cp "$WINEPREFIX/drive_c/levels/b.lvl" "$work/b.lvl"
printf 'C:\\levels\r\nSOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\r\n' >"$work/profile.txt"
# What the same edits give through quillfen-cli.
cli edit 'C:\game\ALICE.DAT' 'C:\work\expected.dat' add-set root3 'CUSTOM SET' \
    add-level parent6 'C:\levels\a.lvl' add-level parent6 'C:\levels\b.lvl' \
    add-level parent6 'C:\levels\c.lvl' >/dev/null
cat >"$work/script.txt" <<'SCRIPT'
answer yes
click loadProfileButton
select-node root3
click addSetButton
select-node parent6
select-files 0 1 2
click addLevelsButton
click saveProfileButton
select-node level10
key delete
log-tree
key undo
log-tree
key save
rename level9 Première
log-tree
select-node root1
answer text:NEWF
click addGroupButton
select-node level9
text levelFileEdit b.lvl
click saveLevelInfoButton
click updateFileButton
click saveLevelInfoButton
answer cancel
click addGroupButton
log-tree
answer cancel
close
answer discard
close
SCRIPT
(cd "$work" && QUILLFEN_TEST_SCRIPT='C:\work\script.txt' QUILLFEN_TEST_LOG='C:\work\log.txt' \
    timeout 120 wine "$build/quillfen.exe") || { cat "$work/log.txt"; fail "the window did not end by itself"; }
log="$work/log.txt"
cmp "$WINEPREFIX/drive_c/game/ALICE.DAT" "$work/expected.dat" || { cat "$log"; fail "the saved file"; }
cmp "$WINEPREFIX/drive_c/game/ALICE.DAT_backup" "$work/expected.dat" || fail "the backup"
# The tree view followed the delete and its undo.
# The new set's levels as each log-tree shows them, one line a log-tree.
new_levels=$(awk '/^> log-tree/ && ++trees <= 2 { on = 1; line = ""; next }
                  on && /^caption/ { print line; on = 0 }
                  on && /^    level(9|10|11) / { line = line $1 " " }' "$log")
[ "$new_levels" = $'level9 level11 \nlevel9 level10 level11 ' ] ||
    { cat "$log"; fail "the tree view after the delete and its undo: $new_levels"; }
[ "$(grep -c '^askToSave: ' "$log")" = "2" ] || { cat "$log"; fail "the close guard"; }
grep -q '^    level9 Première *$' "$log" || { cat "$log"; fail "the rename in the tree"; }
# a.lvl's counts never reach b.lvl: refused while the box named it, b.lvl's own once updated.
cmp "$WINEPREFIX/drive_c/levels/b.lvl" "$work/b.lvl" || { cat "$log"; fail "b.lvl was written"; }
grep -q '^message: WARNING: the counts shown were not read from b.lvl; nothing was written$' \
    "$log" || { cat "$log"; fail "Save Level Info into another file"; }
# Add Group's Cancel adds nothing.
grep -q '^root5 ' "$log" && { cat "$log"; fail "the cancelled group"; }
grep -q '^ended$' "$log" || fail "the window did not end"
# The agreement to the disclaimer is kept where Windows keeps a program's settings.
compgen -G "$WINEPREFIX/drive_c/users/*/AppData/Roaming/Quillfen/agreed.txt" >/dev/null ||
    fail "the agreement to the disclaimer is not in %APPDATA%\\Quillfen"
echo "the Win32 window: ok"
