#pragma once
// One stored icon image, DIB or PNG: what its own header says, and its
// decoding as Windows draws it (transparent where the icon is).

#include "core/bytes/byte_reader.h"
#include "core/bytes/read_error.h"
#include "core/icons/rgba_image.h"

#include <expected>

namespace gb {

// The largest icon Windows makes is 256x256, but real files store larger
// images too (194x313 declared as 256, say), which Windows still draws
// scaled. Images up to this side are decoded; a larger claim is refused
// before anything is allocated, so one image costs at most 4 MiB of pixels.
inline constexpr int kMaxDecodedSide = 1024;
// The largest icon size the windows show at its own size.
inline constexpr int kMaxIconSide = 256;

struct ImageHeader {
    int width = 0;
    int height = 0;
    int bitDepth = 0; // 1, 4, 8, 16, 24, 32; a PNG image counts as 32
    bool png = false;
    friend bool operator==(const ImageHeader&, const ImageHeader&) = default;
};

// Reads and checks the header only (cheap: used to choose among entries).
std::expected<ImageHeader, ReadFailure> probeIconImage(const ByteReader& image);

// Decodes the whole image; the result has the header's width and height.
std::expected<RgbaImage, ReadFailure> decodeIconImage(const ByteReader& image);

} // namespace gb
