#pragma once
// Builds icon DIBs in memory for unit tests: any size and bit count, with
// the colour and the AND mask of each pixel given by functions.

#include "core/bytes/byte_reader.h"
#include "core/icons/rgba_image.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace gb::test {

struct DibRecipe {
    int width = 32;
    int height = 32;
    int bitCount = 32;
    std::vector<Rgba> palette;                        // for 1, 4 and 8 bits
    std::function<std::uint32_t(int x, int y)> pixel; // palette index, or 0xAARRGGBB
    std::function<bool(int x, int y)> masked = [](int, int) { return false; };
    bool withMask = true;
};

inline void put32(std::vector<std::byte>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::byte>(v >> (8 * i)));
}

inline void put16(std::vector<std::byte>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::byte>(v));
    out.push_back(static_cast<std::byte>(v >> 8));
}

inline std::vector<std::byte> buildDib(const DibRecipe& s)
{
    std::vector<std::byte> out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(s.width));
    put32(out, static_cast<std::uint32_t>(s.height * 2));
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(s.bitCount));
    for (int i = 0; i < 6; ++i)
        put32(out, 0);
    if (s.bitCount <= 8) {
        const std::size_t entries = std::size_t{1} << s.bitCount;
        for (std::size_t i = 0; i < entries; ++i) {
            const Rgba c = i < s.palette.size() ? s.palette[i] : Rgba{};
            out.push_back(static_cast<std::byte>(c.b));
            out.push_back(static_cast<std::byte>(c.g));
            out.push_back(static_cast<std::byte>(c.r));
            out.push_back(std::byte{0});
        }
    }
    const auto stride = static_cast<std::size_t>((s.width * s.bitCount + 31) / 32 * 4);
    for (int y = s.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t v = s.pixel(x, y);
            const auto ux = static_cast<std::size_t>(x);
            switch (s.bitCount) {
            case 1:
            case 4:
            case 8: {
                const std::size_t bit = ux * static_cast<std::size_t>(s.bitCount);
                row[bit / 8] |=
                    static_cast<std::uint8_t>(v << (8 - static_cast<std::size_t>(s.bitCount) - bit % 8));
                break;
            }
            case 16:
                row[ux * 2] = static_cast<std::uint8_t>(v);
                row[ux * 2 + 1] = static_cast<std::uint8_t>(v >> 8);
                break;
            case 24:
                for (std::size_t c = 0; c < 3; ++c)
                    row[ux * 3 + c] = static_cast<std::uint8_t>(v >> (8 * c));
                break;
            default:
                for (std::size_t c = 0; c < 4; ++c)
                    row[ux * 4 + c] = static_cast<std::uint8_t>(v >> (8 * c));
            }
        }
        for (std::uint8_t b : row)
            out.push_back(static_cast<std::byte>(b));
    }
    if (s.withMask) {
        const auto maskStride = static_cast<std::size_t>((s.width + 31) / 32 * 4);
        for (int y = s.height - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(maskStride, 0);
            for (int x = 0; x < s.width; ++x)
                if (s.masked(x, y))
                    row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            for (std::uint8_t b : row)
                out.push_back(static_cast<std::byte>(b));
        }
    }
    return out;
}

inline ByteReader readerOf(const std::vector<std::byte>& bytes)
{
    return ByteReader(bytes);
}

inline constexpr std::uint32_t argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return (std::uint32_t{a} << 24) | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

} // namespace gb::test
