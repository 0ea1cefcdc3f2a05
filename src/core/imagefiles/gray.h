#pragma once
// The grayscale conversion of cltogry: ITU-R BT.601 luma weights in 15-bit
// fixed point, truncated. The blue weight is 3735, not the nearer 3736, so
// the weights sum to exactly 32768 and a gray pixel (R = G = B) keeps its
// value; that is what keeps the button face 192 through the conversion.

#include "core/icons/rgba_image.h"

#include <cstdint>

namespace gb {

constexpr std::uint8_t cltogry(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<std::uint8_t>((9798u * r + 19235u * g + 3735u * b) / 32768u);
}

// Each pixel's colour grayed, its alpha kept (gray icons).
RgbaImage grayImage(const RgbaImage& image);

// The icon drawn on the button face, then grayed (gray bitmaps): the
// background stays 192.
RgbaImage grayOnButtonFace(const RgbaImage& icon);

} // namespace gb
