#pragma once
// Icon DIBs: a BITMAPINFOHEADER whose height counts the colour (XOR) bitmap
// and the 1-bit AND mask together, then palette, XOR rows and mask rows,
// all bottom-up.

#include "core/icons/icon_image.h"

namespace gb {

std::expected<ImageHeader, ReadFailure> probeDib(const ByteReader& image);
std::expected<RgbaImage, ReadFailure> decodeDib(const ByteReader& dib);
// How many bytes decodeDib reads at most (header, masks, palette, colour and
// mask rows), from the header alone; nullopt when the header is refused.
std::optional<std::uint64_t> dibLength(const ByteReader& header);

} // namespace gb
