#pragma once
// What a preview shows of a cursor at one step of its animation: the frame
// of that step, the image of that frame answering the image chosen in the
// list (a frame may hold other sizes than the first), its hot spot, and how
// long the step stays before the next one. A static cursor is one step that
// stays for good.

#include "core/cursors/cursor.h"

#include <optional>

namespace gb {

// The image chosen in the list, by what it is: frames are matched by size
// and depth, not by position, as their images need not come in one order.
struct WantedCursorImage {
    int width = 0;
    int height = 0;
    int bitCount = 0;
};

struct CursorStepView {
    int step = 0;
    int frame = 0;
    int image = 0; // in that frame's images
    int hotspotX = 0;
    int hotspotY = 0;
    // How long the step stays, in milliseconds; 0 for a cursor that does
    // not move (static, or animated with one step).
    int delayMs = 0;
};

// A step that lasts less than one jiffy (1/60 s, the file's unit) is shown
// for one: a rate of 0 would make the preview repaint without pause.
inline constexpr int kShortestStepMs = 17;

// The view of `step` (taken modulo the steps, so a player can count on),
// or nullopt when the cursor has no frame with an image to show.
std::optional<CursorStepView> cursorStepView(const Cursor& cursor, int step, const WantedCursorImage& wanted);

// The step after `step`: an animation loops back to its first step.
int nextCursorStep(const Cursor& cursor, int step);

// Whether the cursor moves: more than one step.
bool cursorPlays(const Cursor& cursor);

// The whole factor a cursor image of width x height is enlarged by to fill
// a preview of side `side` without blurring (at least 1, at most 8: a
// 16-pixel cursor at 16 times would show its pixels as tiles).
int cursorPreviewScale(int width, int height, int side);

// Where the hot spot's mark goes on the image enlarged `scale` times: the
// centre of the hot spot's pixel.
struct PreviewPoint {
    int x = 0;
    int y = 0;
};
PreviewPoint hotspotMarkAt(const CursorStepView& view, int scale);

} // namespace gb
