#include "core/convert/bmp_encoder.h"

#include <algorithm>
#include <limits>

namespace gb::convert {

namespace {

void put16(std::byte* at, std::uint16_t value)
{
    at[0] = static_cast<std::byte>(value);
    at[1] = static_cast<std::byte>(value >> 8);
}

void put32(std::byte* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::byte>(value >> (8 * i));
}

std::uint64_t strideOf(int width)
{
    return (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
}

} // namespace

std::expected<void, CodecFailure> Bmp24File::fits(int width, int height)
{
    if (width <= 0 || height <= 0)
        return std::unexpected(CodecFailure{ConvertStatus::InternalError, "empty image"});
    // bfSize and biSizeImage are 32-bit fields.
    if (strideOf(width) * static_cast<std::uint64_t>(height) >
        std::numeric_limits<std::uint32_t>::max() - kHeadersSize)
        return std::unexpected(CodecFailure{ConvertStatus::TooLarge, "too large for a BMP file"});
    return {};
}

std::expected<Bmp24File, CodecFailure> Bmp24File::create(int width, int height)
{
    if (auto fit = fits(width, height); !fit)
        return std::unexpected(fit.error());
    const std::uint64_t stride = strideOf(width);
    const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(height);
    const auto size = static_cast<std::size_t>(kHeadersSize + imageSize);

    // Not cleared: every row is put with its padding.
    auto bytes = std::make_unique_for_overwrite<std::byte[]>(size);
    std::byte* h = bytes.get();
    std::fill_n(h, kHeadersSize, std::byte{0});
    h[0] = std::byte{'B'};
    h[1] = std::byte{'M'};
    put32(h + 2, static_cast<std::uint32_t>(size));
    put32(h + 10, kHeadersSize);                          // bfOffBits
    put32(h + 14, 40);                                    // biSize
    put32(h + 18, static_cast<std::uint32_t>(width));     // biWidth
    put32(h + 22, static_cast<std::uint32_t>(height));    // biHeight: positive, bottom-up
    put16(h + 26, 1);                                     // biPlanes
    put16(h + 28, 24);                                    // biBitCount
    put32(h + 34, static_cast<std::uint32_t>(imageSize)); // biSizeImage
    put32(h + 38, 2835);                                  // 72 dpi, as pixels per metre
    put32(h + 42, 2835);
    return Bmp24File(std::move(bytes), size, static_cast<std::size_t>(stride), width, height);
}

void Bmp24File::putRow(int y, const std::uint8_t* bgr)
{
    const auto stored = static_cast<std::size_t>(height_ - 1 - y);
    std::byte* row = bytes_.get() + kHeadersSize + stored * stride_;
    const std::size_t pixels = static_cast<std::size_t>(width_) * 3;
    std::copy_n(reinterpret_cast<const std::byte*>(bgr), pixels, row);
    std::fill(row + pixels, row + stride_, std::byte{0});
}

} // namespace gb::convert
