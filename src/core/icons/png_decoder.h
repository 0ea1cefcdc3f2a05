#pragma once
// PNG icon entries (Vista and later store 256x256 images this way).

#include "core/icons/icon_image.h"

namespace gb {

bool hasPngSignature(const ByteReader& image);
std::expected<ImageHeader, ReadFailure> probePng(const ByteReader& image);
std::expected<RgbaImage, ReadFailure> decodePng(const ByteReader& image);
// Whether decodePng would succeed, found by decoding every row in the PNG's
// own format into one row's buffer: no image-sized buffer, no conversion of
// each pixel to RGBA.
bool pngDecodes(const ByteReader& image);

} // namespace gb
