#!/usr/bin/env bash
# Builds the Debian package (the package preset, then cpack) and checks it:
# lintian (any error fails, warnings are printed), the libraries
# dpkg-shlibdeps found, and the desktop entry and AppStream metainfo as the
# package installs them, unpacked with dpkg-deb. With --install it also
# installs the package with apt-get, runs the programs from /usr and removes
# it again (root only; it changes the machine). Each phase prints its time.
#
#   scripts/check-package.sh [--install]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

install=false
case "${1:-}" in
--install) install=true ;;
"") ;;
*) echo "usage: $0 [--install]" >&2; exit 2 ;;
esac

phase_started=$SECONDS
phase() {
    echo "== $1"
    phase_started=$SECONDS
}
phase_done() {
    echo "== $1: $((SECONDS - phase_started)) s"
}

checks_passed=0
check() { # description, then the command that must succeed
    local what=$1
    shift
    if "$@"; then
        checks_passed=$((checks_passed + 1))
    else
        echo "package check failed: $what" >&2
        exit 1
    fi
}

phase "packages"
gb_install_packages $GB_BUILD_PACKAGES $GB_PACKAGING_PACKAGES desktop-file-utils appstream
phase_done "packages"

phase "build (package preset, release)"
cmake --preset package >/dev/null
cmake --build --preset package
phase_done "build (package preset, release)"

phase "cpack"
rm -f build/package/glimmerbox_*.deb
cpack --preset deb >/dev/null
deb=$(ls build/package/glimmerbox_*.deb)
echo "$deb"
dpkg-deb --field "$deb" Version Depends Recommends
phase_done "cpack"

phase "lintian"
# Errors fail the check; warnings and notes are printed for the reader
# (docs/packaging.md says why each that stays is there).
lintian_out=$(mktemp)
trap 'rm -f "$lintian_out"' EXIT
lintian_rc=0
lintian --fail-on error --display-info "$deb" >"$lintian_out" 2>&1 || lintian_rc=$?
cat "$lintian_out"
echo "lintian: $(grep -c '^E:' "$lintian_out" || true) errors, $(grep -c '^W:' "$lintian_out" || true) warnings, $(grep -c '^I:' "$lintian_out" || true) notes"
check "lintian reports no error" test "$lintian_rc" -eq 0
phase_done "lintian"

phase "installed files"
root=$(mktemp -d)
trap 'rm -f "$lintian_out"; rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
depends=$(dpkg-deb --field "$deb" Depends)
# The archive reader links libarchive, the compound file module libgsf (and
# through it GLib): the package must depend on what dpkg-shlibdeps finds in
# every program and module.
for lib in libarchive13 libgsf-1-114 libglib2.0-0 libqt6widgets6 libspng0; do
    check "Depends names $lib" grep -q "\\b$lib\\b" <<<"$depends"
done
for f in usr/bin/glimmerbox usr/bin/glimmerbox-cli usr/bin/glimmerbox-thumbnailer \
    usr/libexec/glimmerbox/glimmerbox-archive-reader usr/lib/x86_64-linux-gnu/glimmerbox/libconvert.so \
    usr/lib/x86_64-linux-gnu/glimmerbox/libglimmerbox-compound.so \
    usr/share/doc/glimmerbox/copyright usr/share/doc/glimmerbox/changelog.Debian.gz; do
    check "the package holds /$f" test -e "$root/$f"
done
metainfo="$root/usr/share/metainfo/io.github.glimmerbox.Glimmerbox.metainfo.xml"
desktop="$root/usr/share/applications/glimmerbox.desktop"
check "the installed metainfo validates" appstreamcli validate --no-net "$metainfo"
check "the installed desktop entry validates" desktop-file-validate "$desktop"
# What the validators do not ask for but a software centre shows: both
# languages, the screenshots, and a release entry for this version.
upstream_version=$(dpkg-deb --field "$deb" Version)
upstream_version=${upstream_version%-*}
check "the metainfo has a Chinese name" grep -q '<name xml:lang="zh-CN">' "$metainfo"
check "the metainfo has a Chinese summary" grep -q '<summary xml:lang="zh-CN">' "$metainfo"
check "the metainfo has screenshots" grep -q '<screenshot type="default">' "$metainfo"
check "the metainfo's newest release is $upstream_version" \
    grep -q "<release version=\"$upstream_version\"" <(grep -m1 '<release ' "$metainfo")
for key in 'Name\[zh_CN\]' GenericName 'GenericName\[zh_CN\]' Comment 'Comment\[zh_CN\]'; do
    check "the desktop entry has $key" grep -q "^$key=" "$desktop"
done
phase_done "installed files"

if $install; then
    phase "apt-get install"
    work=$(mktemp -d)
    trap 'rm -f "$lintian_out"; rm -rf "$root" "$work"; apt-get remove -y -qq glimmerbox >/dev/null 2>&1 || true' EXIT
    # Without the recommended packages: they are not needed to run, and the
    # screenshot portal would stay on the machine after the removal.
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./$deb"
    # A 16×16 32-bit icon, written as the ICO format lays it out.
    python3 - "$work/red.ico" <<'EOF'
import struct, sys
w = h = 16
pixels = b"\x00\x00\xff\xff" * (w * h)
mask = b"\x00" * (4 * h)
bmp = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0) + pixels + mask
ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(bmp), 22) + bmp
open(sys.argv[1], "wb").write(ico)
EOF
    check "glimmerbox-cli --help runs" /usr/bin/glimmerbox-cli --help >/dev/null
    check "glimmerbox-cli lists an icon" /usr/bin/glimmerbox-cli list "$work/red.ico"
    check "the thumbnailer draws an icon" /usr/bin/glimmerbox-thumbnailer -s 128 "$work/red.ico" "$work/red.png"
    # An installer package with the icon in its Icon table, read through the
    # compound file module where the package put it.
    cat >"$work/red.wxs" <<'EOF'
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="8F2D6A13-4C7B-4E90-A1B5-6D3C2E7F9A04" Name="Red" Manufacturer="Glimmerbox" Version="1.0.0"
           Language="1033" UpgradeCode="2A6E9C41-0B7D-4F38-95E1-C3D8A4B6F702">
    <Package Id="D41B7E29-6A3C-4F05-8E92-1C7B5A3D0E68" InstallerVersion="200" Compressed="yes"/>
    <Icon Id="Red.ico" SourceFile="red.ico"/>
    <Directory Id="TARGETDIR" Name="SourceDir"/>
    <Feature Id="Complete" Level="1"/>
  </Product>
</Wix>
EOF
    check "an installer package is made of the icon" bash -c "cd '$work' && wixl -o red.msi red.wxs"
    check "glimmerbox-cli reads the installer package through the installed module" \
        bash -c "/usr/bin/glimmerbox-cli list --archives --pattern '*' '$work/red.msi' | grep -q '//Icon.Red.ico(0)'"
    check "the thumbnail is a PNG" grep -q PNG <(head -c 8 "$work/red.png")
    check "every library of the window program is found" \
        bash -c '! ldd /usr/bin/glimmerbox /usr/libexec/glimmerbox/glimmerbox-archive-reader \
            /usr/lib/x86_64-linux-gnu/glimmerbox/libglimmerbox-compound.so | grep "not found"'
    # The window program keeps running until it is closed: still running
    # after five seconds (timeout's 124) means it started and showed its window.
    window_rc=0
    QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/glimmerbox "$work" >/dev/null 2>&1 || window_rc=$?
    check "the window program starts (offscreen)" test "$window_rc" -eq 124
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq glimmerbox
    check "glimmerbox is removed" bash -c '! dpkg-query -W -f="\${Status}" glimmerbox 2>/dev/null | grep -q "install ok installed"'
    phase_done "apt-get install"
fi

echo "package: $checks_passed passed, 0 failed"
