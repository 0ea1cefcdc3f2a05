#pragma once
// PNG icon entries (Vista and later store 256x256 images this way).

#include "core/icons/icon_image.h"

#include <array>
#include <cstdint>

namespace gb {

// The eight bytes every PNG file starts with.
inline constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

bool hasPngSignature(const ByteReader& image);
std::expected<ImageHeader, ReadFailure> probePng(const ByteReader& image);
std::expected<RgbaImage, ReadFailure> decodePng(const ByteReader& image);
// Whether decodePng would succeed, found by decoding every row in the PNG's
// own format into one row's buffer: no image-sized buffer, no conversion of
// each pixel to RGBA.
bool pngDecodes(const ByteReader& image);
// decodePng and resampleImage to width x height in one, shrinking the rows
// as they come when the sizes allow (BlockShrinker::fits) and the PNG is not
// interlaced: no buffer the size of the whole image.
std::expected<RgbaImage, ReadFailure> decodePngScaled(const ByteReader& image, int width, int height);

} // namespace gb
