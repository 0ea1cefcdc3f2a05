#pragma once
// The target of a drag: the window the pointer was last seen over, as each
// tick finds it, and what a release grabs of it. No Qt and no X11 here.

#include "core/capture/capture_geometry.h"

#include <cstdint>
#include <optional>

namespace gb::capture {

// hWndTarget and rcTarget of the classic grabber: they outlive a drag, so a
// quick press and release grabs the last target's rectangle again.
struct DragTarget {
    std::uint32_t window = 0; // 0: none found yet
    ScreenRect rect;          // clamped to the screen
    friend bool operator==(const DragTarget&, const DragTarget&) = default;
};

// The target after a tick found `window` at `rect` on a screen of `screen`.
DragTarget aimedAt(std::uint32_t window, const ScreenRect& rect, ScreenSize screen);

// What a release grabs: nothing before the first tick found a window, nor
// from a target wholly off the screen.
std::optional<ScreenRect> areaToGrab(const DragTarget& target);

} // namespace gb::capture
