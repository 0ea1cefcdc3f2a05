#!/usr/bin/env bash
# The window grabber on a real X server. The test starts its own Xvfb (black
# root window) and runs two rounds: one under the openbox window manager and
# one without a window manager. Each round opens xlogo as the target, drags
# from "左键抓图" onto it with xdotool, and checks
#   - during the drag, the inverted 3-pixel frame shows around the target;
#   - the saved BMP equals the target's pixels as ImageMagick reads them,
#     so neither the grabber's own window nor the frame is in it;
#   - "返　回" closes the grabber.
# Under the window manager the grabber stands over the target, so only its
# minimising lets the target be grabbed, and a second drag onto a decorated
# window's title bar grabs that window's whole frame.
#   run-x11-capture-test.sh CAPTURE_X11_HOST
# With CAPTURE_TEST_KEEP=FOLDER, a failed run leaves its pictures there.
# Exit status: 0 passed, 1 failed, 77 skipped (Xvfb could not start).
set -u
host=$1

work=$(mktemp -d)
pids=()
cleanup()
{
    local p
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        p=${pids[i]}
        kill "$p" 2>/dev/null
        wait "$p" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail()
{
    echo "FAIL: $*"
    [ -s "$work/host.log" ] && sed 's/^/  grabber: /' "$work/host.log"
    [ -n "${CAPTURE_TEST_KEEP:-}" ] && mkdir -p "$CAPTURE_TEST_KEEP" && cp "$work"/*.png "$CAPTURE_TEST_KEEP"/
    exit 1
}
started() { pids+=("$1"); }
stop()
{
    local p=$1 kept=() q
    kill "$p" 2>/dev/null
    wait "$p" 2>/dev/null
    for q in "${pids[@]}"; do [ "$q" != "$p" ] && kept+=("$q"); done
    pids=("${kept[@]}")
}

command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
for tool in openbox xdotool xlogo xwininfo import convert cmp; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/packages.sh lists its package)"
done

# Xvfb chooses a free display and writes its number to descriptor 3 once it
# accepts clients, so tests running side by side never meet.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 -br 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
started $xvfb
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 $xvfb 2>/dev/null || break
    sleep 0.1
done
if ! [ -s "$work/display" ]; then
    echo "SKIP: Xvfb could not start"
    sed 's/^/  Xvfb: /' "$work/xvfb.log"
    exit 77
fi
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
# Nothing of the user's desktop settings, Qt's file dialog history among them.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
# Qt's and fontconfig's caches are not ours to free at exit.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"

# The target window is undecorated: around it lies the black root window,
# which the frame turns white. "titled" keeps its title bar.
cat >"$work/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><keepBorder>no</keepBorder></theme>
  <applications>
    <application name="target"><decor>no</decor></application>
  </applications>
</openbox_config>
EOF

# Waits up to 10 s for a command to succeed.
waitFor()
{
    local _
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
# Prints "x y w h b" of a window: its inside on the root, and its border.
geometryOf()
{
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                             /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} /Border width/ {b=$3}
                             END {print x + b, y + b, w, h, b}'
}
# The smallest and largest grey level (0..255) of a piece of a picture.
levels()
{
    convert "$1" -crop "$2" +repage -colorspace gray -format '%[fx:int(255*minima)] %[fx:int(255*maxima)]' info:
}
samePixels()
{
    [ "$(identify -format '%wx%h' "$1")" = "$(identify -format '%wx%h' "$2")" ] || return 1
    convert "$1" -depth 8 "rgb:$work/a.rgb" && convert "$2" -depth 8 "rgb:$work/b.rgb" &&
        cmp -s "$work/a.rgb" "$work/b.rgb"
}
isMapped() { xwininfo -id "$1" | grep -q 'IsViewable'; }

# Presses on the grab button, moves to (x, y), waits past a few ticks with a
# screenshot, and lets go. Given a band of the frame, the screenshot is taken
# again until the band shows inverted (up to 10 s more): on a busy machine,
# with other tests beside this one, the grabber's minimising and the frame's
# first drawing can come late.
drag()
{
    local x=$1 y=$2 shot=$3 band=${4:-} _
    xdotool mousemove $((gx + 52)) $((gy + 48)) mousedown 1
    sleep 0.5
    xdotool mousemove "$x" "$y"
    sleep 1.3
    import -silent -window root "$shot"
    if [ -n "$band" ]; then
        for _ in $(seq 20); do
            [ "$(levels "$shot" "$band")" = "255 255" ] && break
            sleep 0.5
            import -silent -window root "$shot"
        done
    fi
    sleep 0.2
    xdotool mouseup 1
    waitFor isMapped "$grabber" || fail "the grabber did not come back after the release"
    sleep 0.5
}
# Saves the picture through "保存图片" under the name given.
save()
{
    local name=$1
    xdotool mousemove $((gx + 52)) $((gy + 188)) click 1
    waitFor xdotool search --onlyvisible --name '^保存图片：$' || fail "the save dialog did not open"
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$name"
    xdotool key Return
    waitFor test -s "$work/out/$name" || fail "no file $name was written"
    sleep 0.3
}

round()
{
    local label=$1 tx=$2 ty=$3 tw=$4 th=$5
    echo "== $label"
    rm -rf "$work/out" && mkdir -p "$work/out"

    # Once in a few hundred runs the target never showed under openbox (seen
    # once, not again in dozens of runs under load): it gets a second start,
    # and what xlogo and openbox said is printed if that fails too.
    local xlogoPid attempt
    for attempt in 1 2; do
        xlogo -name target -geometry "${tw}x${th}+${tx}+${ty}" >"$work/xlogo.log" 2>&1 &
        xlogoPid=$!
        started $xlogoPid
        waitFor xdotool search --onlyvisible --classname '^target$' && break
        stop $xlogoPid
        if [ $attempt -eq 2 ]; then
            sed 's/^/  xlogo: /' "$work/xlogo.log"
            [ -s "$work/openbox.log" ] && sed 's/^/  openbox: /' "$work/openbox.log"
            fail "xlogo did not show"
        fi
    done
    local target
    target=$(xdotool search --onlyvisible --classname '^target$' | head -n1)
    sleep 0.5
    read -r tx ty tw th _ <<<"$(geometryOf "$target")"
    # The target's pixels, read before the grabber shows.
    import -silent -window "$target" "$work/reference.png" || fail "ImageMagick could not read the target"

    "$host" "$work/out" >"$work/host.log" 2>&1 &
    local hostPid=$!
    started $hostPid
    waitFor xdotool search --onlyvisible --name '^Grabwell$' || fail "the grabber did not open"
    grabber=$(xdotool search --onlyvisible --name '^Grabwell$' | head -n1)
    sleep 0.5
    read -r gx gy _ _ _ <<<"$(geometryOf "$grabber")"

    drag $((tx + tw / 2)) $((ty + th / 2)) "$work/during.png" "$((tw + 6))x3+$((tx - 3))+$((ty - 3))"

    # The frame: 3 pixels of inverted root (white) just outside the target,
    # black beyond, and the target's own pixels untouched inside.
    local band
    for band in "$((tw + 6))x3+$((tx - 3))+$((ty - 3))" "$((tw + 6))x3+$((tx - 3))+$((ty + th))" \
        "3x${th}+$((tx - 3))+${ty}" "3x${th}+$((tx + tw))+${ty}"; do
        [ "$(levels "$work/during.png" "$band")" = "255 255" ] ||
            fail "no inverted frame at $band during the drag (grey levels $(levels "$work/during.png" "$band"))"
    done
    for band in "$((tw + 8))x1+$((tx - 4))+$((ty - 4))" "$((tw + 8))x1+$((tx - 4))+$((ty + th + 3))"; do
        [ "$(levels "$work/during.png" "$band")" = "0 0" ] || fail "the frame is thicker than 3 pixels at $band"
    done
    convert "$work/during.png" -crop "${tw}x${th}+${tx}+${ty}" +repage "$work/during-inside.png"
    samePixels "$work/during-inside.png" "$work/reference.png" || fail "the frame reached into the target"
    echo "the frame showed around the target during the drag"

    save grab.bmp
    samePixels "$work/out/grab.bmp" "$work/reference.png" ||
        fail "the saved picture ($(identify -format '%wx%h' "$work/out/grab.bmp")) differs from the target (${tw}x${th})"
    echo "the saved BMP holds exactly the target's ${tw}x${th} pixels"

    if [ "$label" = "with a window manager" ]; then
        xlogo -name titled -geometry 160x90+40+40 >/dev/null 2>&1 &
        titledPid=$!
        started $titledPid
        waitFor xdotool search --onlyvisible --classname '^titled$' || fail "the titled xlogo did not show"
        local titled frame fx fy fw fh fb
        titled=$(xdotool search --onlyvisible --classname '^titled$' | head -n1)
        sleep 0.5
        frame=$(xwininfo -id "$titled" -tree | awk '/Parent window id/ {print $4}')
        read -r fx fy fw fh fb <<<"$(geometryOf "$frame")"
        # The whole frame, its border too.
        fx=$((fx - fb)) fy=$((fy - fb)) fw=$((fw + 2 * fb)) fh=$((fh + 2 * fb))
        [ $((fh - 90)) -gt 4 ] || fail "openbox gave the titled window no title bar"
        drag $((fx + fw / 2)) $((fy + 4)) "$work/during-title.png"
        save title.bmp
        [ "$(identify -format '%wx%h' "$work/out/title.bmp")" = "${fw}x${fh}" ] ||
            fail "a drag onto the title bar grabbed $(identify -format '%wx%h' "$work/out/title.bmp"), not the frame's ${fw}x${fh}"
        echo "a drag onto a title bar grabbed the whole ${fw}x${fh} frame"
        stop $titledPid
    fi

    xdotool mousemove $((gx + 52)) $((gy + 328)) click 1
    local _
    for _ in $(seq 100); do
        kill -0 $hostPid 2>/dev/null || break
        sleep 0.1
    done
    kill -0 $hostPid 2>/dev/null && fail "返　回 did not close the grabber"
    wait $hostPid
    local status=$?
    stop $hostPid
    [ $status -eq 0 ] || fail "the grabber ended with status $status"
    echo "返　回 closed the grabber"
    stop $xlogoPid
}

openbox --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
openboxPid=$!
started $openboxPid
waitFor xprop -root _NET_SUPPORTING_WM_CHECK || fail "openbox did not start"
# The grabber opens in the middle of the screen, over this target.
round "with a window manager" 412 309 200 150
stop $openboxPid
sleep 0.5

# Without a window manager nothing minimises the grabber, and the button's
# own window keeps the pointer: the target lies beside the grabber.
round "without a window manager" 40 40 120 100

echo "2 passed, 0 failed"
