#!/usr/bin/env bash
# Launchers for a whole prefix against Wine's own menu builder, in one run on
# one prefix: a fresh prefix (wineboot -i, nothing downloaded) with 16
# shortcuts saved by Wine's own shortcut code (WScript.Shell through cscript)
# in both Start Menus (and subfolders) and on the Public Desktop, then with
# hyperfine, each run from empty output folders:
#   1. glimmerbox-cli launcher --all: an entry, its icons and its submenu for
#      each shortcut;
#   2. wine winemenubuilder -a: Wine's entries, icons and menus for the same
#      shortcuts (the wineserver started beforehand and kept, as it is when a
#      program has just installed).
# Results are kept in build/bench/results/launchers-*.
#
#   bench/launcher-bench.sh            10 runs after a warm-up
#   RUNS=20 bench/launcher-bench.sh
set -euo pipefail

# shellcheck source=bench/build-cli.sh
. "$(dirname "$0")/build-cli.sh" wine wine64

runs="${RUNS:-10}"

work="$(mktemp -d "${TMPDIR:-/tmp}/glimmerbox-launchers.XXXXXX")"
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
cleanup()
{
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    local server
    server=$(cat "$WINEPREFIX/wineserver" 2>/dev/null || true)
    [[ $server =~ ^wine-[A-Za-z0-9]+$ ]] && [ -O "/tmp/$server" ] && rm -rf "/tmp/${server:?}"
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$HOME/Desktop" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"

echo "== Prefix"
timeout 240 wineboot -i >/dev/null 2>&1
timeout 60 wineserver -w
cat >"$work/make.vbs" <<'EOF'
Set sh = CreateObject("WScript.Shell")
Set fs = CreateObject("Scripting.FileSystemObject")
userPrograms = Replace(sh.ExpandEnvironmentStrings("%APPDATA%\Microsoft\Windows\Start Menu\Programs"), Chr(0), "")
allPrograms = sh.SpecialFolders("AllUsersPrograms")
allDesktop = sh.SpecialFolders("AllUsersDesktop")
targets = Array("C:\windows\notepad.exe", "C:\windows\regedit.exe", "C:\windows\system32\winecfg.exe", _
                "C:\windows\system32\taskmgr.exe")
For i = 0 To 15
    Select Case i Mod 4
        Case 0: folder = userPrograms
        Case 1: folder = allPrograms & "\Suite " & (i \ 4)
        Case 2: folder = allPrograms & "\Suite " & (i \ 4) & "\Tools"
        Case 3: folder = allDesktop
    End Select
    If Not fs.FolderExists(folder) Then
        If Not fs.FolderExists(fs.GetParentFolderName(folder)) Then fs.CreateFolder(fs.GetParentFolderName(folder))
        fs.CreateFolder(folder)
    End If
    Set l = sh.CreateShortcut(folder & "\Program " & i & ".lnk")
    l.TargetPath = targets(i Mod 4)
    l.Description = "Shortcut " & i
    l.Save
Next
EOF
(cd "$work" && timeout 120 wine cscript //nologo make.vbs >/dev/null 2>&1)
count=$(find "$WINEPREFIX/drive_c" -name '*.lnk' | wc -l)
echo "== $count shortcuts"
[ "$count" -ge 16 ] || { echo "the shortcuts were not made" >&2; exit 1; }

# The wineserver stays up between runs, as it does right after an install.
wineserver -p 2>/dev/null || true
data=$work/out
export WINEDLLOVERRIDES="mscoree,mshtml="
hyperfine --warmup 1 --runs "$runs" --export-markdown "$results/launchers.md" \
    --prepare "rm -rf '$data' '$XDG_DATA_HOME/applications' '$XDG_DATA_HOME/icons' '$XDG_DATA_HOME/desktop-directories' '$XDG_CONFIG_HOME/menus'" \
    -n "glimmerbox-cli launcher --all" "'$cli' launcher --all --data '$XDG_DATA_HOME'" \
    -n "wine winemenubuilder -a" "wine winemenubuilder -a"
cat "$results/launchers.md"
