#pragma once
// A cursor at the sizes a desktop asks for. Linux desktops choose a cursor
// by its nominal size (24 on most, 32 and 48 on larger screens), while
// Windows cursors are mostly stored at 32 alone; the sizes a cursor lacks
// are made from its stored images, so every size looks as drawn for it.

#include "core/cursors/cursor.h"
#include "core/cursors/cursor_write_error.h"
#include "core/icons/rgba_image.h"

#include <array>
#include <expected>
#include <vector>

namespace gb {

// Made when a cursor lacks them and no sizes are asked for: the sizes
// desktops choose by default on ordinary and large screens.
inline constexpr std::array<int, 3> kDesktopCursorSizes{24, 32, 48};

struct SizedCursorImage {
    int size = 0; // the nominal size: the larger side
    int hotspotX = 0, hotspotY = 0;
    RgbaImage pixels;  // straight alpha, as the cursor's images are drawn
    bool made = false; // resampled from a stored image of another size
};

struct SizedCursor {
    std::vector<int> sizes; // ascending, each once
    // frames[f][i] is frame f at sizes[i].
    std::vector<std::vector<SizedCursorImage>> frames;
    // As in the cursor, with one step per frame when it named none.
    std::vector<int> steps;
    std::vector<int> delaysMs;
};

// The cursor at `sizes`, or when none are given at the sizes it stores
// plus kDesktopCursorSizes. A stored image of a size is used as it is (of
// several, the one of most colours); another size is made from the frame's
// nearest larger image, else its largest, resampled with the engine's
// filters, the hot spot scaled, rounded and kept inside the image.
std::expected<SizedCursor, CursorWriteError> cursorAtSizes(const Cursor& cursor, std::vector<int> sizes = {});

} // namespace gb
