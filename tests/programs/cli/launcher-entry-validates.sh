#!/usr/bin/env bash
# The desktop entry glimmerbox-cli launcher writes, as desktop-file-validate
# reads it: for a program in a Wine prefix whose folder name holds what an
# Exec line must quote and escape (a space, a double quote, "$", "%", a
# backslash), and for an Internet shortcut on the prefix's Desktop, which
# becomes a link entry through launcher --all. Usage: launcher-entry-validates.sh CLI FIXTURE_DIR VALIDATE
set -euo pipefail
cli=$1 fixtures=$2 validate=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/"'my "pre$fix" 100% \x'
mkdir -p "$prefix/drive_c/Program Files/Fixture" "$prefix/drive_c/users/ana" "$prefix/dosdevices"
touch "$prefix/system.reg"
ln -s ../drive_c "$prefix/dosdevices/c:"
cp "$fixtures/icons32.exe" "$prefix/drive_c/Program Files/Fixture/App.exe"
made=$("$cli" launcher "$prefix/drive_c/Program Files/Fixture/App.exe" --data "$work/data")
entry=${made#new: }
cat "$entry"
"$validate" "$entry"

mkdir -p "$prefix/drive_c/users/Public/Desktop"
printf '[InternetShortcut]\r\nURL=https://example.org/a b?x=100%%\r\n' >"$prefix/drive_c/users/Public/Desktop/Site.url"
XDG_CONFIG_HOME="$work/config" "$cli" launcher --all --prefix "$prefix" --data "$work/data" >"$work/all.txt"
cat "$work/all.txt"
link=$(sed -n 's/^new: .*Site.url -> //p' "$work/all.txt")
cat "$link"
grep -qx 'Type=Link' "$link"
"$validate" "$link"
