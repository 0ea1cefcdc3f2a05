#pragma once
// Which kind of graphical session the program runs in, read from the
// variables the session sets. On Wayland the pixels of other windows are out
// of reach, even for a program that Qt runs through XWayland, so the window
// grabber asks the desktop's screenshot portal there; on X11 it reads the
// screen itself.

namespace gb::session {

enum class DisplayServer {
    X11,
    Wayland,
};

// Wayland when XDG_SESSION_TYPE says "wayland" or WAYLAND_DISPLAY names a
// display; X11 otherwise. Null stands for a variable that is unset; an empty
// value counts as unset.
DisplayServer displayServerOf(const char* xdgSessionType, const char* waylandDisplay);

// The same, from this process's environment.
DisplayServer currentDisplayServer();

} // namespace gb::session
