#!/usr/bin/env bash
# The desktop entry glimmerbox-cli launcher writes, as desktop-file-validate
# reads it: for a program in a Wine prefix whose folder name holds what an
# Exec line must quote and escape (a space, a double quote, "$", "%", a
# backslash). Usage: launcher-entry-validates.sh CLI FIXTURE_DIR VALIDATE
set -euo pipefail
cli=$1 fixtures=$2 validate=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/"'my "pre$fix" 100% \x'
mkdir -p "$prefix/drive_c/Program Files/Fixture" "$prefix/drive_c/users/ana" "$prefix/dosdevices"
touch "$prefix/system.reg"
ln -s ../drive_c "$prefix/dosdevices/c:"
cp "$fixtures/icons32.exe" "$prefix/drive_c/Program Files/Fixture/App.exe"
entry=$("$cli" launcher "$prefix/drive_c/Program Files/Fixture/App.exe" --data "$work/data")
cat "$entry"
"$validate" "$entry"
