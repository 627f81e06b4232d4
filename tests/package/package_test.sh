#!/usr/bin/env bash
# The Linux package, as a player gets it and as a distribution checks it: lintian finds no error
# in it; unpacked, its window starts on a demo prefix, its desktop entry and AppStream metainfo
# pass their validators and name the program, the icon and the version it brings.
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
id=io.github.quillfen.quillfen
for file in bin/quillfen bin/quillfen-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/quillfen.svg share/quillfen/readme.html \
    share/doc/quillfen/readme.html share/doc/quillfen/copyright; do
    [ -f "$usr/$file" ] || fail "the package lacks usr/$file"
done
dpkg-deb -f "$package" Depends | grep -q 'libqt6widgets6' ||
    fail "the package does not depend on Qt 6 Widgets: $(dpkg-deb -f "$package" Depends)"

# Errors fail the package; lintian's warnings are a packager's to weigh.
linted=$(lintian --allow-root --tag-display-limit 0 "$package" 2>&1) || true
grep '^E: ' <<<"$linted" && fail "lintian: $linted"

entry="$usr/share/applications/$id.desktop"
validated=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $validated"
[ -z "$validated" ] || fail "desktop-file-validate: $validated"
grep -qx 'Exec=quillfen %f' "$entry" || fail "the desktop entry does not start quillfen on a file"
grep -qx 'Icon=quillfen' "$entry" || fail "the desktop entry does not name the icon"
metainfo="$usr/share/metainfo/$id.metainfo.xml"
validated=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) ||
    fail "appstreamcli validate: $validated"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not name the desktop entry"
version=$(dpkg-deb -f "$package" Version)
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
zcat "$usr/share/doc/quillfen/changelog.gz" | head -1 | grep -q "^quillfen ($version)" ||
    fail "the changelog's last entry is not $version"
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
