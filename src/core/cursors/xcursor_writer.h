#pragma once
// Xcursor files, the cursors of X11 and Wayland desktops, as libXcursor
// reads them: one image chunk per size and step, each with its nominal size,
// hot spot and delay, in premultiplied ARGB.

#include "core/cursors/cursor_sizes.h"
#include "core/cursors/cursor_write_error.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <vector>

namespace gb {

// The sizes in ascending order, and at each size one chunk per step of the
// animation with that step's frame and delay (a frame shown at several
// steps is written at each), so libXcursor plays it as Windows does. A
// static cursor has one chunk per size, of delay 0.
std::expected<std::vector<std::byte>, CursorWriteError> encodeXcursor(const SizedCursor& cursor);

} // namespace gb
