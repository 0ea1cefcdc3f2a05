#!/usr/bin/env bash
# The launchers on real Wine. In a fresh prefix the test makes shortcuts with
# Wine's own shortcut code (WScript.Shell run by cscript), in the user's and
# the all-users Start Menu (a subfolder too) and on the Public Desktop, and
# lets Wine's menu builder write its own entries for them as it does on every
# save. Then glimmerbox-cli writes its launchers for the whole prefix, and
#   - each entry says what its shortcut says (name, description, program,
#     window class; a document opens through "wine start /unix");
#   - a second run changes nothing;
#   - Wine's own entry and two of ours, started by GLib (gio launch) under a
#     private Xvfb with openbox, open a window whose WM_CLASS is the entry's
#     StartupWMClass; the shortcut's arguments (a file name with a space, in
#     quotes) reach the program;
#   - --prune removes the entry of a shortcut that is gone, and its icons;
#   - --refresh-wine-entries writes the icons Wine's own menu and Desktop
#     entries name.
# It prints how long wineboot, Wine's menu builder and glimmerbox-cli took.
#   launcher-real-wine-test.sh CLI [DESKTOP_FILE_VALIDATE]
# Everything lives in a private HOME and prefix under one temporary folder,
# removed at exit. The test fails, never skips, when Wine does not start: a
# test machine is meant to have Wine.
set -uo pipefail
cli=$1 validate=${2:-}

work=$(mktemp -d)
pids=()
cleanup()
{
    local i
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        timeout 30 wineserver -k >/dev/null 2>&1
        timeout 30 wineserver -w >/dev/null 2>&1
        # Debian's Wine keeps the wineserver's socket in a folder of /tmp
        # named in the prefix, whatever TMPDIR says, and leaves it behind.
        local server
        server=$(cat "$WINEPREFIX/wineserver" 2>/dev/null)
        [[ $server =~ ^wine-[A-Za-z0-9]+$ ]] && [ -O "/tmp/$server" ] && rm -rf "/tmp/${server:?}"
    fi
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
        wait "${pids[i]}" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail()
{
    echo "FAIL: $*"
    exit 1
}
showLog() { [ -s "$2" ] && sed "s/^/  $1: /" "$2"; }

for tool in wine wineboot wineserver Xvfb openbox xdotool xprop gio timeout; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/packages.sh lists its package)"
done

# Seconds since a time taken from EPOCHREALTIME, to a tenth.
since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'; }

# A key's value in an entry's [Desktop Entry] group.
field() { awk -v k="$2" 'index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }' "$1"; }
expectField()
{
    local value
    value=$(field "$1" "$2")
    [ "$value" = "$3" ] || fail "$(basename "$1"): $2 is \"$value\", not \"$3\""
}
# The PNGs an Icon= name has in the data folder's hicolor theme.
iconsOf() { find "$XDG_DATA_HOME/icons/hicolor" -path "*/apps/$1.png" 2>/dev/null | sort; }

# A private session: Wine's menu builder writes into HOME and the XDG
# folders, and nothing may reach the user's own. No session bus either, so
# GLib neither finds the user's nor starts one of its own.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config \
    XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
# The user's Desktop folder exists, so Wine links the prefix's Desktop to it
# and puts its entries for Desktop shortcuts there.
mkdir -p "$HOME/Desktop" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY XDG_DATA_DIRS WINEARCH WINELOADER WINESERVER
export XDG_SESSION_TYPE=x11

# Xvfb chooses a free display and writes its number to descriptor 3 once it
# accepts clients, so tests running side by side never meet.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "${pids[0]}" 2>/dev/null || break
    sleep 0.1
done
[ -s "$work/display" ] || { showLog Xvfb "$work/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    { showLog openbox "$work/openbox.log"; fail "openbox did not start"; }

# 1. A fresh prefix. Gecko and Mono are left out, so nothing is downloaded.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
start=$EPOCHREALTIME
timeout 240 wineboot -i >"$work/wineboot.log" 2>&1
status=$?
returned=$(since "$start")
[ $status -eq 0 ] || { showLog wineboot "$work/wineboot.log"; fail "wineboot -i did not start Wine (status $status)"; }
timeout 60 wineserver -w || fail "the wineserver did not quit within 60 s of wineboot"
quit=$(since "$start")
[ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/drive_c/windows/notepad.exe" ] ||
    { showLog wineboot "$work/wineboot.log"; fail "wineboot made no prefix"; }
echo "timing: wineboot -i ${returned} s, ${quit} s until the wineserver quit"

# 2. The shortcuts, saved by Wine's own shell link code. Wine's script host
# ends with status 0 even when a script fails, so the test looks for the
# files themselves afterwards.
docs=$WINEPREFIX/drive_c/users/Public/Documents
mkdir -p "$docs"
printf 'notes\r\n' >"$docs/my notes.txt"
printf '@echo hello\r\n' >"$docs/hello.bat"
cat >"$work/make.vbs" <<'EOF'
Set sh = CreateObject("WScript.Shell")
Set fs = CreateObject("Scripting.FileSystemObject")
' Wine's SpecialFolders knows no "Programs"; its ExpandEnvironmentStrings
' leaves the terminating NUL in the string.
userPrograms = Replace(sh.ExpandEnvironmentStrings("%APPDATA%\Microsoft\Windows\Start Menu\Programs"), Chr(0), "")
allPrograms = sh.SpecialFolders("AllUsersPrograms")
allDesktop = sh.SpecialFolders("AllUsersDesktop")
If Not fs.FolderExists(allPrograms & "\Tools") Then fs.CreateFolder(allPrograms & "\Tools")

Set l = sh.CreateShortcut(userPrograms & "\Notepad.lnk")
l.TargetPath = "C:\windows\notepad.exe"
l.Description = "Edit plain text"
l.Save

Set l = sh.CreateShortcut(allPrograms & "\Tools\Notes.lnk")
l.TargetPath = "C:\windows\notepad.exe"
l.Arguments = """C:\users\Public\Documents\my notes.txt"""
l.WorkingDirectory = "C:\users\Public\Documents"
l.Save

Set l = sh.CreateShortcut(allPrograms & "\Registry Editor.lnk")
l.TargetPath = "C:\windows\regedit.exe"
l.IconLocation = "C:\windows\missing-icons.dll,0"
l.Save

Set l = sh.CreateShortcut(allDesktop & "\Wine Settings.lnk")
l.TargetPath = "C:\windows\system32\winecfg.exe"
l.Description = "Configure Wine"
l.Save

Set l = sh.CreateShortcut(allDesktop & "\Hello.lnk")
l.TargetPath = "C:\users\Public\Documents\hello.bat"
l.Save
EOF
start=$EPOCHREALTIME
# Wine reads the script by a name relative to its working folder, which it
# finds on drive Z:.
(cd "$work" && timeout 120 wine cscript //nologo make.vbs) >"$work/cscript.log" 2>&1
status=$?
returned=$(since "$start")
timeout 120 wineserver -w || fail "the wineserver did not quit within 120 s of the shortcuts"
echo "timing: 5 shortcuts saved ${returned} s, with Wine's menu builder $(since "$start") s until the wineserver quit"
[ $status -eq 0 ] || { showLog cscript "$work/cscript.log"; fail "cscript ended with status $status"; }
# The user's folder is named by Wine, after the account.
userMenu=$(find "$WINEPREFIX/drive_c/users" -mindepth 6 -maxdepth 6 -path '*/AppData/Roaming/Microsoft/Windows/Start Menu' -print -quit)/Programs
allMenu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
publicDesktop=$WINEPREFIX/drive_c/users/Public/Desktop
notepadLnk=$userMenu/Notepad.lnk notesLnk=$allMenu/Tools/Notes.lnk regeditLnk=$allMenu/Registry\ Editor.lnk
winecfgLnk=$publicDesktop/Wine\ Settings.lnk helloLnk=$publicDesktop/Hello.lnk
for lnk in "$notepadLnk" "$notesLnk" "$regeditLnk" "$winecfgLnk" "$helloLnk"; do
    [ -f "$lnk" ] || { showLog cscript "$work/cscript.log"; fail "Wine saved no $lnk"; }
done

# Wine's own entries, as its menu builder wrote them on each save.
wineNotepad=$XDG_DATA_HOME/applications/wine/Programs/Notepad.desktop
for entry in "$wineNotepad" "$XDG_DATA_HOME/applications/wine/Programs/Tools/Notes.desktop" \
    "$HOME/Desktop/Wine Settings.desktop"; do
    [ -f "$entry" ] || fail "Wine's menu builder wrote no $entry"
done
echo "Wine's own entries:"
find "$XDG_DATA_HOME/applications" "$HOME/Desktop" "$XDG_CONFIG_HOME/menus" -type f | sort | sed "s|^$work|  \$TMP|"
start=$EPOCHREALTIME
timeout 120 wine winemenubuilder -a -r >"$work/menubuilder.log" 2>&1 ||
    { showLog winemenubuilder "$work/menubuilder.log"; fail "winemenubuilder -a -r failed"; }
echo "timing: winemenubuilder -a -r over the whole prefix $(since "$start") s"
timeout 60 wineserver -w

# Entries started as a desktop starts them. A window counts once the
# window manager lists it and its class is the entry's StartupWMClass.
clientsOf()
{
    local w name class
    for w in $(xprop -root _NET_CLIENT_LIST 2>/dev/null | sed -n 's/.*# //p' | tr -d ','); do
        class=$(xprop -id "$w" WM_CLASS 2>/dev/null | sed -n 's/.*", "\(.*\)"$/\1/p')
        name=$(xprop -id "$w" _NET_WM_NAME 2>/dev/null | sed -n 's/^[^"]*"\(.*\)"$/\1/p')
        [ "$class" = "$1" ] && echo "$w $name"
    done
}
launch()
{
    local entry=$1 title=${2:-} class found="" started
    class=$(field "$entry" StartupWMClass)
    started=$EPOCHREALTIME
    timeout 30 gio launch "$entry" >"$work/gio.log" 2>&1 ||
        { showLog gio "$work/gio.log"; fail "gio launch $entry failed"; }
    for _ in $(seq 60); do
        found=$(clientsOf "$class" | grep -F -- "$title" | head -n1)
        [ -n "$found" ] && break
        sleep 0.5
    done
    [ -n "$found" ] || { showLog gio "$work/gio.log"; fail "no window of class $class${title:+ titled *$title*} within 30 s of starting $(basename "$entry")"; }
    echo "$(basename "$entry"): window \"${found#* }\" of class $class after $(since "$started") s"
    timeout 30 wineserver -k
    timeout 30 wineserver -w
}
# Wine's own entry first: a window here shows Wine and GLib start programs
# at all, whatever glimmerbox's entries do later.
launch "$wineNotepad"

# 3. glimmerbox-cli's launchers for every shortcut of the prefix.
start=$EPOCHREALTIME
"$cli" launcher --all --prefix "$WINEPREFIX" --data "$XDG_DATA_HOME" >"$work/all.out" 2>"$work/all.err"
status=$?
echo "timing: glimmerbox-cli launcher --all $(since "$start") s"
showLog "launcher --all" "$work/all.out"
showLog "launcher --all (errors)" "$work/all.err"
[ $status -eq 0 ] || fail "launcher --all ended with status $status"

# The entry a run printed for a shortcut: "new: SHORTCUT -> ENTRY".
entryOf()
{
    awk -v s="$1" 'index($0, "new: ") == 1 {
        i = index($0, " -> "); src = substr($0, 6, i - 6)
        if (src == s) print substr($0, i + 4) }' "$work/all.out"
}
declare -A entries
for lnk in "$notepadLnk" "$notesLnk" "$regeditLnk" "$winecfgLnk" "$helloLnk"; do
    entry=$(entryOf "$lnk")
    [ -n "$entry" ] || fail "no \"new: $lnk -> ENTRY\" line"
    [ -f "$entry" ] || fail "the entry $entry of $lnk is not there"
    case $entry in
        "$XDG_DATA_HOME"/applications/glimmerbox-*.desktop) ;;
        *) fail "the entry $entry is not an applications/glimmerbox-*.desktop of the data folder" ;;
    esac
    entries[$lnk]=$entry
    expectField "$entry" Name "$(basename "$lnk" .lnk)"
    expectField "$entry" X-Glimmerbox-Source "$lnk"
    expectField "$entry" X-Glimmerbox-Prefix "$WINEPREFIX"
    exec=$(field "$entry" Exec)
    case $exec in
        "env WINEPREFIX=\"$WINEPREFIX\" wine "*) ;;
        *) fail "$(basename "$entry"): Exec does not run wine in the prefix: $exec" ;;
    esac
    if [ -n "$validate" ]; then
        "$validate" "$entry" || fail "desktop-file-validate finds fault with $entry"
    fi
done
for lnk in "$notepadLnk" "$notesLnk" "$regeditLnk" "$winecfgLnk"; do
    exec=$(field "${entries[$lnk]}" Exec)
    # The program by its Windows path, as Wine's own entries name it.
    [[ $exec == *'"C:\\'*.exe'"'* ]] || fail "$(basename "${entries[$lnk]}"): Exec names no Windows path: $exec"
    icon=$(field "${entries[$lnk]}" Icon)
    [ -n "$icon" ] || fail "$(basename "${entries[$lnk]}") has no Icon"
    [ -n "$(iconsOf "$icon")" ] || [ -f "$icon" ] || fail "$(basename "${entries[$lnk]}"): no picture for Icon=$icon"
done
expectField "${entries[$notepadLnk]}" Comment "Edit plain text"
expectField "${entries[$winecfgLnk]}" Comment "Configure Wine"
expectField "${entries[$notepadLnk]}" StartupWMClass notepad.exe
expectField "${entries[$notesLnk]}" StartupWMClass notepad.exe
expectField "${entries[$regeditLnk]}" StartupWMClass regedit.exe
expectField "${entries[$winecfgLnk]}" StartupWMClass winecfg.exe
exec=$(field "${entries[$notesLnk]}" Exec)
[[ $exec == *'my notes.txt'* ]] || fail "Notes: Exec holds not the shortcut's arguments: $exec"
exec=$(field "${entries[$helloLnk]}" Exec)
[[ $exec == *' wine start /unix "'*'/hello.bat"'* ]] || fail "Hello: a document opens through wine start /unix, not: $exec"
[ -z "$(field "${entries[$helloLnk]}" StartupWMClass)" ] || fail "Hello: a document's entry names a window class"
echo "the 5 entries say what their shortcuts say"

# The Start Menu's folders are submenus.
menus=("$XDG_CONFIG_HOME"/menus/applications-merged/glimmerbox-*.menu)
[ -f "${menus[0]}" ] || fail "no menus/applications-merged/glimmerbox-*.menu"
grep -l -F "$(basename "${entries[$notesLnk]}")" "${menus[@]}" | xargs -r grep -l -F Tools >/dev/null ||
    fail "no menu file puts $(basename "${entries[$notesLnk]}") in a Tools submenu"
echo "the Tools folder is a submenu"

"$cli" launcher --all --prefix "$WINEPREFIX" --data "$XDG_DATA_HOME" >"$work/again.out" 2>"$work/again.err"
status=$?
[ $status -eq 0 ] || { showLog "second run" "$work/again.err"; fail "the second launcher --all ended with status $status"; }
# A fallback's "  note:" lines stand under their shortcut's line each time.
grep -v -e '^unchanged: ' -e '^  note: ' "$work/again.out" && fail "a second run over the same shortcuts changed the lines above"
[ "$(grep -c '^unchanged: ' "$work/again.out")" -eq "$(grep -c -v '^  note: ' "$work/all.out")" ] ||
    { showLog "second run" "$work/again.out"; fail "the second run printed not one line per shortcut"; }
echo "a second run changed nothing"

# 4. Two of glimmerbox's entries, one with arguments.
launch "${entries[$notesLnk]}" "my notes.txt"
launch "${entries[$winecfgLnk]}"

# 5. A shortcut taken away: --prune removes its entry and its icons, and
# only those.
regeditEntry=${entries[$regeditLnk]}
regeditIcon=$(field "$regeditEntry" Icon)
rm -- "$regeditLnk"
"$cli" launcher --prune --prefix "$WINEPREFIX" --data "$XDG_DATA_HOME" >"$work/prune.out" 2>"$work/prune.err"
status=$?
showLog "launcher --prune" "$work/prune.out"
[ $status -eq 0 ] || { showLog "launcher --prune (errors)" "$work/prune.err"; fail "launcher --prune ended with status $status"; }
grep -qxF "removed: $regeditEntry ($regeditLnk is gone)" "$work/prune.out" ||
    fail "--prune printed no \"removed: $regeditEntry ($regeditLnk is gone)\""
[ "$(grep -c '^removed: ' "$work/prune.out")" -eq 1 ] || fail "--prune removed more than the one entry"
[ ! -e "$regeditEntry" ] || fail "--prune left $regeditEntry"
shared=no
for lnk in "$notepadLnk" "$notesLnk" "$winecfgLnk" "$helloLnk"; do
    [ -f "${entries[$lnk]}" ] || fail "--prune removed ${entries[$lnk]}, whose shortcut is there"
    [ "$(field "${entries[$lnk]}" Icon)" = "$regeditIcon" ] && shared=yes
done
if [ $shared = no ] && [[ $regeditIcon != /* ]]; then
    [ -z "$(iconsOf "$regeditIcon")" ] || fail "--prune left the icons of $regeditIcon: $(iconsOf "$regeditIcon")"
fi
echo "--prune removed the entry of the shortcut that is gone, and kept the others"

# 6. Wine's own menu entries get their icons in every size of the theme.
# Those Wine wrote are taken away first, so what shows is
# --refresh-wine-entries'.
mapfile -t wineIcons < <(find "$XDG_DATA_HOME/applications/wine" "$HOME/Desktop" -name '*.desktop' \
    -exec awk -F= '$1 == "Icon" { print $2 }' {} + | sort -u)
[ ${#wineIcons[@]} -gt 0 ] || fail "no menu entry of Wine's names an Icon"
for icon in "${wineIcons[@]}"; do
    iconsOf "$icon" | xargs -r rm --
done
start=$EPOCHREALTIME
"$cli" launcher --refresh-wine-entries --prefix "$WINEPREFIX" --data "$XDG_DATA_HOME" >"$work/refresh.out" 2>"$work/refresh.err"
status=$?
echo "timing: glimmerbox-cli launcher --refresh-wine-entries $(since "$start") s"
showLog "launcher --refresh-wine-entries" "$work/refresh.out"
[ $status -eq 0 ] || { showLog "launcher --refresh-wine-entries (errors)" "$work/refresh.err"; fail "--refresh-wine-entries ended with status $status"; }
# The entries Wine put on the user's Desktop (for the Public Desktop's shortcuts) too.
grep -qF "refreshed: $HOME/Desktop/Wine Settings.desktop" "$work/refresh.out" ||
    fail "--refresh-wine-entries passed over Wine's entry on the Desktop"
for icon in "${wineIcons[@]}"; do
    sizes=$(iconsOf "$icon" | sed -n 's|.*/hicolor/\([0-9]*\)x[0-9]*/apps/.*|\1|p' | sort -n | tr '\n' ' ')
    echo "Icon=$icon: ${sizes:-none}"
    [ "$(iconsOf "$icon" | sed -n 's|.*/hicolor/\([0-9]*\)x[0-9]*/apps/.*|\1|p' | sort -n | tail -n1)" -ge 48 ] 2>/dev/null ||
        fail "--refresh-wine-entries wrote no icon of 48x48 or more for Icon=$icon"
done

echo "passed"
