#pragma once
// 24-bit BMP files: BITMAPFILEHEADER, BITMAPINFOHEADER, bottom-up BGR rows
// padded to 32 bits, no palette. The whole file is laid out first, so a
// decoder can write its rows straight into place.

#include "core/convert/codec_types.h"

#include <cstddef>
#include <expected>
#include <span>
#include <vector>

namespace gb::convert {

class Bmp24File {
public:
    static std::expected<Bmp24File, CodecFailure> create(int width, int height);

    std::uint8_t* pixels() { return reinterpret_cast<std::uint8_t*>(bytes_.data()) + kHeadersSize; }
    std::size_t stride() const { return stride_; }
    std::span<const std::byte> bytes() const { return bytes_; }
    std::vector<std::byte> take() && { return std::move(bytes_); }

    static constexpr std::size_t kHeadersSize = 14 + 40;

private:
    Bmp24File(std::vector<std::byte> bytes, std::size_t stride) : bytes_(std::move(bytes)), stride_(stride) {}

    std::vector<std::byte> bytes_;
    std::size_t stride_ = 0;
};

} // namespace gb::convert
