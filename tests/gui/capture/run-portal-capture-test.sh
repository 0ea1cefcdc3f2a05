#!/usr/bin/env bash
# The window grabber on a Wayland session: the Qt Test program given runs
# offscreen with XDG_SESSION_TYPE=wayland on a private session bus of its
# own, where it stands in for the desktop's screenshot portal itself. The
# bus activates nothing, so a portal installed on this machine never answers
# in its place.
#   run-portal-capture-test.sh CAPTURE_PORTAL_WAYLAND
# Exit status: the test program's.
set -u
test=$1

command -v dbus-run-session >/dev/null ||
    { echo "FAIL: dbus-run-session is missing (scripts/packages.sh lists its package)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF

# The session type alone says Wayland; no display of the user's is reached.
export QT_QPA_PLATFORM=offscreen XDG_SESSION_TYPE=wayland
unset DISPLAY WAYLAND_DISPLAY
# Nothing of the user's desktop settings, Qt's file dialog history among them.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

dbus-run-session --config-file="$work/session.conf" -- "$test"
