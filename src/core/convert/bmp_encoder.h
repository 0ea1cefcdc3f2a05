#pragma once
// 24-bit BMP files: BITMAPFILEHEADER, BITMAPINFOHEADER, bottom-up BGR rows
// padded to 32 bits, no palette. The whole file is laid out first, headers
// and row padding written, so the rows can be copied straight into place.

#include "core/convert/codec_types.h"

#include <cstddef>
#include <expected>
#include <memory>
#include <span>
#include <vector>

namespace gb::convert {

class Bmp24File {
public:
    // Whether a BMP file can hold a picture of these sides.
    static std::expected<void, CodecFailure> fits(int width, int height);
    // The file, its pixels not yet written: each row(y) is to be filled.
    static std::expected<Bmp24File, CodecFailure> create(int width, int height);

    // Row y of the picture, counted from the top: width * 3 bytes of BGR.
    std::uint8_t* row(int y)
    {
        const auto stored = static_cast<std::size_t>(height_ - 1 - y);
        return reinterpret_cast<std::uint8_t*>(bytes_.get()) + kHeadersSize + stored * stride_;
    }
    std::span<const std::byte> bytes() const { return {bytes_.get(), size_}; }

    static constexpr std::size_t kHeadersSize = 14 + 40;

private:
    Bmp24File(std::unique_ptr<std::byte[]> bytes, std::size_t size, std::size_t stride, int height)
        : bytes_(std::move(bytes)), size_(size), stride_(stride), height_(height)
    {
    }

    std::unique_ptr<std::byte[]> bytes_;
    std::size_t size_ = 0;
    std::size_t stride_ = 0;
    int height_ = 0;
};

} // namespace gb::convert
