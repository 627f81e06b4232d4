#!/usr/bin/env bash
# Runs the Windows programs that scripts/build-windows.sh built under Wine, in a new temporary
# prefix with one wineserver for the whole run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build-windows

export WINEPREFIX=$(mktemp -d /tmp/quillfen-wine-XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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
export LC_ALL=C.UTF-8
users='HKLM\Software\Quillfen Test\Users'
# The first reg add after wineboot has been seen to fail once.
for attempt in 1 2 3; do
    wine reg add "$users\\Alice" /v DatabaseName /d 'C:\quillfen-test\Zoë €\ALICE.DAT' /f /reg:32 \
        >/dev/null && break
    [ "$attempt" -eq 3 ] && exit 1
    sleep 1
done
wine reg add "$users\\Zoë Ωmega" /v DatabaseName /d 'C:\Ω.DAT' /f /reg:32 >/dev/null
wine reg add "$users\\multi" /v DatabaseName /t REG_MULTI_SZ /d 'first\0second' /f /reg:32 >/dev/null
wine reg add "$users\\multi" /v Number /t REG_DWORD /d 5 /f /reg:32 >/dev/null
wine reg add "$users\\Bob64" /v DatabaseName /d 'C:\BOB.DAT' /f >/dev/null
wine "$build/windows_registry_tests.exe"

cli() { wine "$build/quillfen-cli.exe" "$@"; }
fail() { echo "FAILED: $*" >&2; exit 1; }
folder="$WINEPREFIX/drive_c/quillfen-test/Zoë €"
mkdir -p "$folder"
# A name beyond the ANSI code page arrives whole.
cli demo 'C:\quillfen-test\Zoë €\ALICE.DAT' >/dev/null
cli demo 'C:\quillfen-test\Zoë €\Ωmega.dat' >/dev/null
[ -f "$folder/ALICE.DAT" ] && [ -f "$folder/Ωmega.dat" ] || fail "demo files not written"
key='Software\Quillfen Test\Users'
expected=$(printf 'Alice\tC:\\quillfen-test\\Zoë €\\ALICE.DAT\nmulti\tfirst\nZoë ?mega\tNot Found\n')
[ "$(cli profiles --key "$key")" = "$expected" ] || fail "profiles: $(cli profiles --key "$key")"
cli load --key "$key" Alice >/dev/null || fail "load"
cp "$folder/ALICE.DAT" "$WINEPREFIX/before.dat"
# Same bytes in, same bytes out: a save of the demo tree gives the demo file, the old one kept.
cli save --key "$key" Alice 'C:\quillfen-test\Zoë €\Ωmega.dat' >/dev/null || fail "save"
cmp "$folder/ALICE.DAT" "$folder/Ωmega.dat" || fail "saved bytes"
cmp "$folder/ALICE.DAT_backup" "$WINEPREFIX/before.dat" || fail "backup bytes"
# Output is binary: line feeds alone.
cli show 'C:\quillfen-test\Zoë €\ALICE.DAT' | grep -q $'\r' && fail "carriage returns in output"
echo "quillfen-cli on the registry: ok"

echo "== the zip, unpacked, runs on its own"
unpacked="$WINEPREFIX/drive_c/unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$OLDPWD/dist/quillfen-windows-x64.zip")
for file in quillfen-cli.exe readme.html LICENSE.txt; do
    [ -f "$unpacked/$file" ] || fail "the zip lacks $file"
done
wine "$unpacked/quillfen-cli.exe" demo 'C:\unpacked\demo.dat' >/dev/null
wine "$unpacked/quillfen-cli.exe" check 'C:\unpacked\demo.dat' >/dev/null || fail "the zip's cli"
echo "the zip: ok"
