#pragma once
// BMP files: 24-bit, bottom-up, no palette.

#include "core/icons/rgba_image.h"

#include <cstddef>
#include <vector>

namespace gb {

// The image drawn over an opaque background (alpha blended).
RgbaImage composeOver(const RgbaImage& image, Rgba background);

// Encodes the colour of every pixel; alpha is ignored (compose first).
std::vector<std::byte> encodeBmp24(const RgbaImage& image);

// An icon as its BMP file shows it: drawn on the button face RGB(192,192,192).
std::vector<std::byte> encodeIconBmp(const RgbaImage& icon);

} // namespace gb
