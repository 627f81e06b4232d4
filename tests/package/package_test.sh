#!/usr/bin/env bash
# The Linux package, as a player gets it: unpacked, its window starts on a demo prefix, its
# desktop entry is valid and names the program and icon it brings.
#
#   tests/package/package_test.sh BUILD_DIR   packages that build (scripts/package-linux.sh)
#   tests/package/package_test.sh FILE.deb    checks a package made before
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arg=${1:?usage: package_test.sh BUILD_DIR|FILE.deb}
if [[ $arg == *.deb ]]; then
    package=$(realpath "$arg")
else
    package=$("$root/scripts/package-linux.sh" "$arg")
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

dpkg-deb -x "$package" "$work/root"
usr="$work/root/usr"
for file in bin/quillfen bin/quillfen-cli share/applications/quillfen.desktop \
    share/icons/hicolor/scalable/apps/quillfen.svg share/quillfen/readme.html \
    share/doc/quillfen/readme.html share/doc/quillfen/copyright; do
    [ -f "$usr/$file" ] || fail "the package lacks usr/$file"
done
dpkg-deb -f "$package" Depends | grep -q 'libqt6widgets6' ||
    fail "the package does not depend on Qt 6 Widgets: $(dpkg-deb -f "$package" Depends)"

entry="$usr/share/applications/quillfen.desktop"
validated=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $validated"
[ -z "$validated" ] || fail "desktop-file-validate: $validated"
grep -qx 'Exec=quillfen' "$entry" || fail "the desktop entry does not start quillfen"
grep -qx 'Icon=quillfen' "$entry" || fail "the desktop entry does not name the icon"
grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/quillfen.svg" || fail "the icon is no SVG"
grep -q 'Options &gt; Wine prefix' "$usr/share/quillfen/readme.html" ||
    fail "the readme does not describe the Linux window"

# The unpacked window on a demo prefix starts and stays up, asking its disclaimer, until it is
# stopped: a library it lacks would end it at once.
mkdir "$work/run"
"$usr/bin/quillfen-cli" demo-prefix "$work/prefix" || fail "quillfen-cli demo-prefix"
status=0
(cd "$work/run" && HOME="$work/run" WINEPREFIX="$work/prefix" QT_QPA_PLATFORM=offscreen \
    timeout 10 "$usr/bin/quillfen" 2>"$work/stderr") || status=$?
[ "$status" = 124 ] || fail "the unpacked quillfen did not start (exit $status): $(cat "$work/stderr")"
echo "ok: $package"
