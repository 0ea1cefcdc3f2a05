#pragma once
// Icon DIBs: a BITMAPINFOHEADER whose height counts the colour (XOR) bitmap
// and the 1-bit AND mask together, then palette, XOR rows and mask rows,
// all bottom-up.

#include "core/icons/icon_image.h"

namespace gb {

std::expected<ImageHeader, ReadFailure> probeDib(const ByteReader& image);
std::expected<RgbaImage, ReadFailure> decodeDib(const ByteReader& image);

} // namespace gb
