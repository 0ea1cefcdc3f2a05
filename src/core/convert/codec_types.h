#pragma once
// What the BMP and JPEG codecs of libconvert share: the limits they accept,
// the rows of pixels they hand each other, and why they refuse a file.

#include "core/convert/convert_status.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gb::convert {

struct CodecLimits {
    // 2^28 pixels are about 800 MB as 24-bit rows: far beyond any photo, and
    // still within reach of a desktop machine's memory.
    std::uint64_t maxPixels = std::uint64_t{1} << 28;
    // A source file is read whole; a BMP of the largest size accepted above
    // at 32 bits per pixel is 1 GiB.
    std::uint64_t maxFileBytes = std::uint64_t{1} << 30;
};

// JPEG_MAX_DIMENSION of libjpeg: neither side of a JPEG image may be longer.
inline constexpr int kJpegMaxSide = 65500;

// Why a file was refused: the status the library returns, and a short
// English reason for programmers and tests.
struct CodecFailure {
    ConvertStatus status = ConvertStatus::Damaged;
    const char* reason = "";
};

enum class PixelLayout {
    Bgr,  // 3 bytes a pixel: blue, green, red (a 24-bit BMP's order)
    Bgrx, // 4 bytes a pixel, the fourth ignored (a 32-bit BMP's order)
    Gray, // 1 byte a pixel
};

constexpr int bytesPerPixel(PixelLayout layout)
{
    switch (layout) {
    case PixelLayout::Bgr: return 3;
    case PixelLayout::Bgrx: return 4;
    case PixelLayout::Gray: return 1;
    }
    return 3;
}

// Rows of 8-bit pixels somewhere in memory. `first` is the row stored first;
// in a bottom-up image that is the bottom row of the picture, as in a BMP.
struct PixelRows {
    const std::uint8_t* first = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0; // bytes from one stored row to the next
    bool bottomUp = false;
    PixelLayout layout = PixelLayout::Bgr;

    // Row y of the picture, counted from the top.
    const std::uint8_t* row(int y) const
    {
        const auto stored = static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
        return first + stored * stride;
    }
};

// The pixel density a JPEG file's JFIF header records. Without one it says
// only that pixels are square (unit 0, 1:1).
struct JfifDensity {
    std::uint8_t unit = 0; // 0: an aspect ratio only, 1: dots per inch, 2: dots per cm
    std::uint16_t x = 1;
    std::uint16_t y = 1;
    friend bool operator==(const JfifDensity&, const JfifDensity&) = default;
};

} // namespace gb::convert
