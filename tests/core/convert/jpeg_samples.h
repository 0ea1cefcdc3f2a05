#pragma once
// Small JPEG files for the converter's tests, made on the spot: by our own
// encoder, or by TurboJPEG for the kinds ours does not write (CMYK,
// progressive); and the same files with a header that claims another size.

#include "core/convert/bmp_decoder.h"
#include "core/convert/bmp_samples.h"
#include "core/convert/jpeg_codec.h"

#include <turbojpeg.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace gb::test {

enum class JpegKind { Colour, Gray, Cmyk, Progressive };

inline std::vector<std::byte> copyOf(std::span<const std::byte> bytes)
{
    return {bytes.begin(), bytes.end()};
}

// A `width` x `height` JPEG of the given kind with some detail in it.
inline std::vector<std::byte> makeJpeg(JpegKind kind, int width, int height)
{
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    const auto bmp = buildBmp(recipe);
    const auto decoded = convert::decodeBmp(bmp);
    if (!decoded)
        return {};
    const convert::PixelRows& rows = decoded->rows;
    if (kind == JpegKind::Colour)
        return copyOf(convert::encodeJpeg(rows, 80)->bytes());
    if (kind == JpegKind::Gray) {
        std::vector<std::uint8_t> gray;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                gray.push_back(rows.row(y)[x * 3 + 1]);
        convert::PixelRows grayRows{
            gray.data(), width, height, static_cast<std::size_t>(width), false, convert::PixelLayout::Gray};
        return copyOf(convert::encodeJpeg(grayRows, 80)->bytes());
    }

    std::vector<std::uint8_t> pixels; // top-down, 4 bytes a pixel
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c)
                pixels.push_back(c == 3 ? static_cast<std::uint8_t>(255 - y % 64) : rows.row(y)[x * 3 + c]);
    const bool cmyk = kind == JpegKind::Cmyk;
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int status =
        tjCompress2(handle, pixels.data(), width, width * 4, height, cmyk ? TJPF_CMYK : TJPF_BGRX, &jpeg,
                    &size, cmyk ? TJSAMP_444 : TJSAMP_420, 80, cmyk ? 0 : TJFLAG_PROGRESSIVE);
    std::vector<std::byte> out;
    if (status == 0)
        out = copyOf(std::as_bytes(std::span(jpeg, static_cast<std::size_t>(size))));
    tjFree(jpeg);
    tjDestroy(handle);
    return out;
}

// The same file, its frame header (SOFn) claiming `width` x `height`.
inline std::optional<std::vector<std::byte>> withClaimedSize(std::vector<std::byte> jpeg, int width,
                                                             int height)
{
    std::size_t at = 2; // after SOI
    while (at + 9 < jpeg.size() && jpeg[at] == std::byte{0xFF}) {
        const int marker = std::to_integer<int>(jpeg[at + 1]);
        const std::size_t length =
            std::to_integer<std::size_t>(jpeg[at + 2]) << 8 | std::to_integer<std::size_t>(jpeg[at + 3]);
        // SOF0 to SOF15, but for DHT (C4), JPG (C8) and DAC (CC).
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            jpeg[at + 5] = static_cast<std::byte>(height >> 8);
            jpeg[at + 6] = static_cast<std::byte>(height);
            jpeg[at + 7] = static_cast<std::byte>(width >> 8);
            jpeg[at + 8] = static_cast<std::byte>(width);
            return jpeg;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace gb::test
