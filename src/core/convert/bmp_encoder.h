#pragma once
// 24-bit BMP files: BITMAPFILEHEADER, BITMAPINFOHEADER, bottom-up BGR rows
// padded to 32 bits, no palette. The whole file is laid out first, so the
// rows can go straight into place; its memory is not cleared, so a page of
// it costs something only once a row is put there.

#include "core/convert/codec_types.h"

#include <cstddef>
#include <expected>
#include <memory>
#include <span>
#include <vector>

namespace gb::convert {

class Bmp24File {
public:
    // The file, its headers written, its rows still to be put.
    static std::expected<Bmp24File, CodecFailure> create(int width, int height);

    // Puts row y of the picture, counted from the top: width * 3 bytes of
    // BGR, then the row's padding. Every row is to be put once.
    void putRow(int y, const std::uint8_t* bgr);
    std::span<const std::byte> bytes() const { return {bytes_.get(), size_}; }

    static constexpr std::size_t kHeadersSize = 14 + 40;

private:
    // Whether a BMP file can hold a picture of these sides.
    static std::expected<void, CodecFailure> fits(int width, int height);

    Bmp24File(std::unique_ptr<std::byte[]> bytes, std::size_t size, std::size_t stride, int width, int height)
        : bytes_(std::move(bytes)), size_(size), stride_(stride), width_(width), height_(height)
    {
    }

    std::unique_ptr<std::byte[]> bytes_;
    std::size_t size_ = 0;
    std::size_t stride_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace gb::convert
