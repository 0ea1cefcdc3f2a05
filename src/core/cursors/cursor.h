#pragma once
// A mouse cursor as Windows stores it: one or more images of one frame (a
// .cur file, a cursor group of a program), or an animated cursor (an .ani
// file, an RT_ANICURSOR resource) whose frames are shown in the order of its
// steps, each for its own time. Every image keeps the bytes it was stored
// as, so a cursor can be written out again exactly, and its drawing.

#include "core/icons/rgba_image.h"

#include <cstddef>
#include <string>
#include <vector>

namespace gb {

struct CursorImage {
    int width = 0;
    int height = 0; // the image's own height (a DIB's stored height is twice it)
    // The hot spot, inside the image (one stored outside is moved to the
    // nearest pixel inside). An image stored without one (an icon used as
    // a cursor: an animation's ICO frame, a raw frame) has it at its centre,
    // (width / 2, height / 2), where Windows puts the hot spot of an icon.
    int hotspotX = 0; // 0 <= x < width
    int hotspotY = 0; // 0 <= y < height
    int bitCount = 0; // 1, 4, 8, 24, 32; 0 for a PNG image
    bool png = false;
    // As Windows draws it on its own, straight alpha: the AND mask as
    // transparency, and a pixel Windows draws by inverting the screen under
    // it (mask 1, colour not black) made visible: opaque black, with the
    // transparent pixels around it opaque white, an outline that shows on
    // any background (see drawCursorImage).
    RgbaImage pixels;
    // The image as stored: a DIB (BITMAPINFOHEADER, colours, XOR and AND
    // masks) or a PNG, without the hot spot that precedes it in a resource.
    std::vector<std::byte> stored;
};

// The images of one frame, one per stored size and depth, in stored order.
struct CursorFrame {
    std::vector<CursorImage> images;
};

enum class CursorKind { Static, Animated };

struct Cursor {
    CursorKind kind = CursorKind::Static;
    std::vector<CursorFrame> frames; // one for a static cursor
    // Animated: the frame each step shows (a frame may be shown at several
    // steps) and how long, in milliseconds (the file's jiffies of 1/60 s,
    // rounded to nearest). Static: one step of frame 0, delay 0.
    std::vector<int> steps;
    std::vector<int> delaysMs;
    // The file's or resource's own title and author (an ANI's LIST INFO), if any.
    std::string title, author;
};

} // namespace gb
