#!/usr/bin/env bash
# The main window and the desktop program as native Wayland clients. The test
# starts its own weston (headless backend: no rendering, no seat) on a socket
# in a private runtime folder, then
#   - runs MAIN_WINDOW_ON_WAYLAND on Qt's wayland platform: the window at its
#     fixed size, a search over the fixture tree and one from an "Open With"
#     start, the modal windows, the single-instance lock and the clipboard;
#   - starts GLIMMERBOX FILE as a file manager's "Open With" does, with
#     QT_QPA_PLATFORM unset and a DISPLAY naming no X server beside
#     WAYLAND_DISPLAY (as in a Wayland session with XWayland): it must choose
#     the wayland platform by itself and map its fixed-size window, a second
#     copy must end at once, SIGTERM must end it without a crash, and the
#     next start must take over the lock the killed copy left.
#   run-wayland-test.sh MAIN_WINDOW_ON_WAYLAND GLIMMERBOX
# Exit status: 0 passed, 1 failed. A weston that cannot start is a failure.
set -u
test=$1
program=$2

work=$(mktemp -d)
pids=()
cleanup()
{
    local i
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
    local log
    for log in weston.log program.log; do
        [ -s "$work/$log" ] && tail -n 40 "$work/$log" | sed "s/^/  ${log%.log}: /"
    done
    exit 1
}

command -v weston >/dev/null || fail "weston is not installed (scripts/packages.sh lists its package)"

# Nothing of the user's desktop: settings, runtime folder (and so the
# program's lock), compositor.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM WAYLAND_SOCKET
# Qt's and fontconfig's caches are not ours to free at exit.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"

socket=glimmerbox-test
weston --backend=headless-backend.so --socket=$socket --idle-time=0 --no-config \
    --width=1024 --height=768 --log="$work/weston.log" >"$work/weston.out" 2>&1 &
weston=$!
pids+=("$weston")
for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
    kill -0 "$weston" 2>/dev/null || break
    sleep 0.1
done
if ! [ -S "$XDG_RUNTIME_DIR/$socket" ] || ! kill -0 "$weston" 2>/dev/null; then
    sed 's/^/  weston: /' "$work/weston.out"
    fail "weston (headless backend) did not start"
fi
echo "weston $(weston --version | awk '{print $2}') listens on $socket (headless)"
export WAYLAND_DISPLAY=$socket XDG_SESSION_TYPE=wayland

echo "== the main window on Qt's wayland platform"
QT_QPA_PLATFORM=wayland "$test" || fail "the main window's checks on Wayland failed"

echo "== glimmerbox FILE on the Wayland session"
printf 'MZ' >"$HOME/setup.exe"
# The window is mapped once the program has answered the compositor's first
# configure and committed a buffer after it. WAYLAND_DEBUG shows the requests.
mapped()
{
    awk '/xdg_surface@[0-9]+\.ack_configure/ {acked = 1} acked && /wl_surface@[0-9]+\.attach/ {found = 1}
         END {exit !found}' "$work/program.log"
}
# Starts the program in the background with its protocol log.
startProgram()
{
    WAYLAND_DEBUG=1 DISPLAY=:glimmerbox-no-x-server "$program" "$HOME/setup.exe" >"$work/program.log" 2>&1 &
    first=$!
    pids+=("$first")
    local _
    for _ in $(seq 200); do
        mapped && return 0
        kill -0 "$first" 2>/dev/null || fail "glimmerbox ended before it mapped a window on Wayland"
        sleep 0.1
    done
    fail "glimmerbox did not map a window on Wayland within 20 s"
}
# Sends SIGTERM and checks the program ended by it, not by a crash.
terminate()
{
    kill -TERM "$first"
    wait "$first"
    local status=$?
    pids=("${pids[@]:0:${#pids[@]}-1}")
    [ "$status" -eq 143 ] || fail "glimmerbox ended with status $status on SIGTERM (143 is SIGTERM's)"
    ! grep -q 'AddressSanitizer\|UndefinedBehaviorSanitizer' "$work/program.log" ||
        fail "a sanitizer report came from glimmerbox"
}

startProgram
grep -q 'xdg_toplevel@[0-9]*\.set_title("Glimmerbox' "$work/program.log" ||
    fail "no xdg_toplevel titled Glimmerbox: the program did not run as a Wayland client"
grep -q 'xdg_toplevel@[0-9]*\.set_app_id("glimmerbox")' "$work/program.log" ||
    fail "the toplevel's app_id is not glimmerbox, the desktop entry's name"
least=$(grep -o 'xdg_toplevel@[0-9]*\.set_min_size([0-9]*, [0-9]*)' "$work/program.log" | tail -n1 | sed 's/.*(//')
most=$(grep -o 'xdg_toplevel@[0-9]*\.set_max_size([0-9]*, [0-9]*)' "$work/program.log" | tail -n1 | sed 's/.*(//')
if [ -z "$least" ] || [ "$least" != "$most" ]; then
    fail "the window is not of a fixed size for the compositor (least ${least:-none}, largest ${most:-none})"
fi
echo "glimmerbox chose the wayland platform and mapped its ${least%)} window"

start=$(date +%s)
timeout 10 "$program" >"$work/second.log" 2>&1
status=$?
[ $status -eq 0 ] || fail "a second copy ended with status $status (124 means it kept running)"
echo "a second copy ended at once with status 0 after $(($(date +%s) - start)) s"

terminate
echo "SIGTERM ended glimmerbox without a crash"
startProgram
echo "the next start took over the lock the killed copy left and mapped its window"
terminate
echo "passed"
