#pragma once
// BMP files as Windows writes and reads them: the OS/2 1.x core header and
// the Windows headers of 40, 52, 56, 108 and 124 bytes (and the 64-byte OS/2
// 2.x header where it means the same); 1, 4 and 8 bits with a palette, 16
// and 32 bits with the default or explicit bit masks (BI_BITFIELDS,
// BI_ALPHABITFIELDS), 24 bits; bottom-up and top-down; RLE8 and RLE4.
// Alpha is ignored, as GDI ignores it when it draws a BMP.
//
// Every read is bounded by the file; a header that does not hold together is
// refused with its reason before anything is allocated.

#include "core/convert/codec_types.h"

#include <expected>
#include <memory>
#include <span>

namespace gb::convert {

struct BmpInfo {
    int width = 0;
    int height = 0;
};

// The headers alone: the picture's sides, or why the file is refused,
// before anything is allocated or decoded.
std::expected<BmpInfo, CodecFailure> probeBmp(std::span<const std::byte> bytes);

struct DecodedBmp {
    std::unique_ptr<std::uint8_t[]> storage; // the decoded rows, unless `rows` points into the file
    PixelRows rows;
};

// A 24-bit, and a 32-bit BMP with the usual masks, is not copied: `rows`
// then points into `bytes`, which must outlive the result. A BMP whose
// palette holds only grays decodes to PixelLayout::Gray.
std::expected<DecodedBmp, CodecFailure> decodeBmp(std::span<const std::byte> bytes,
                                                  const CodecLimits& limits = {});

// The BMP's resolution as cjpeg carries it into a JPEG: dots per cm (pixels
// per metre / 100, cut to 16 bits as cjpeg cuts it) when both fields are
// positive, otherwise none, as in the 12-byte header that has no such fields.
JfifDensity bmpDensity(std::span<const std::byte> bytes);

} // namespace gb::convert
