#pragma once
// PNG icon entries (Vista and later store 256x256 images this way).

#include "platform/icons/icon_image.h"

namespace gb {

bool hasPngSignature(const ByteReader& image);
std::expected<ImageHeader, ReadFailure> probePng(const ByteReader& image);
std::expected<RgbaImage, ReadFailure> decodePng(const ByteReader& image);

} // namespace gb
