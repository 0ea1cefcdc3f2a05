#pragma once
// Screen pixels as the X server sends them (ZPixmap: each row padded, each
// pixel 2, 3 or 4 bytes in the server's byte order, colours under the
// visual's masks), and what the grabber does with them. No X11 headers here,
// so the conversions are tested without a server.

#include "core/capture/capture_geometry.h"
#include "core/icons/rgba_image.h"

#include <cstdint>
#include <vector>

namespace gb::capture {

struct PixelFormat {
    int bitsPerPixel = 32;
    bool mostSignificantFirst = false; // the server's image byte order
    std::uint32_t redMask = 0xff0000;
    std::uint32_t greenMask = 0x00ff00;
    std::uint32_t blueMask = 0x0000ff;

    int bytesPerPixel() const { return bitsPerPixel / 8; }
};

// True colour of 16, 24 or 32 bits a pixel, each mask a run of 1 to 16 bits.
bool isReadable(const PixelFormat& format);

// Pixels of one screen area, rows `stride` bytes apart.
struct RawPixels {
    ScreenRect area;
    int stride = 0;
    std::vector<std::uint8_t> bytes;
};

// The bytes can hold the area's rows at that stride.
bool isComplete(const RawPixels& pixels, const PixelFormat& format);

// Opaque RGBA; the caller checks isReadable and isComplete first.
RgbaImage decodePixels(const RawPixels& pixels, const PixelFormat& format);

// Puts the pixels of `from` where its area meets the area of `into`.
void copyOverlap(RawPixels& into, const RawPixels& from, const PixelFormat& format);

// Every bit turned over: with true colour, each colour becomes its inverse,
// the look of the classic inverted frame.
RawPixels inverted(RawPixels pixels);

} // namespace gb::capture
