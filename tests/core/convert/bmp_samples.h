#pragma once
// Builds BMP files in memory for tests and fuzz seeds: every header size,
// bit count, compression and row order libconvert reads, with the pixels
// given by a function, and says which colour a correct reader sees at each
// pixel.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace gb::test {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct BmpRecipe {
    int width = 7;
    int height = 5;
    int bitCount = 24;             // 1, 4, 8, 16, 24, 32
    int headerSize = 40;           // 12, 40, 52, 56, 108, 124
    bool topDown = false;          // a negative height
    std::uint32_t compression = 0; // 0 RGB, 1 RLE8, 2 RLE4, 3 BITFIELDS, 6 ALPHABITFIELDS
    std::vector<Rgb> palette;      // 1, 4 and 8 bits
    bool writeColorsUsed = true;
    std::int32_t pixelsPerMetreX = 0; // the resolution fields, 0 for none (not in the 12-byte header)
    std::int32_t pixelsPerMetreY = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha for BITFIELDS
    // Palette index for 1 to 8 bits, else 0xAARRGGBB put through the masks
    // (or 5-5-5 and 8-8-8 without BITFIELDS).
    std::function<std::uint32_t(int x, int y)> pixel = [](int x, int y) {
        return static_cast<std::uint32_t>((x * 37 + y * 11) & 0xFF) << 16 |
               static_cast<std::uint32_t>((x * 5 + y * 53) & 0xFF) << 8 |
               static_cast<std::uint32_t>((x * 91 + y * 7) & 0xFF);
    };
};

namespace detail {

inline void put16(std::vector<std::byte>& out, std::size_t at, std::uint32_t v)
{
    out[at] = static_cast<std::byte>(v);
    out[at + 1] = static_cast<std::byte>(v >> 8);
}

inline void put32(std::vector<std::byte>& out, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::byte>(v >> (8 * i));
}

inline std::array<std::uint32_t, 3> effectiveMasks(const BmpRecipe& r)
{
    if (r.compression == 3 || r.compression == 6)
        return {r.masks[0], r.masks[1], r.masks[2]};
    if (r.bitCount == 16)
        return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

// Spreads an 8-bit channel value over the bits of `mask`.
inline std::uint32_t intoMask(std::uint32_t value8, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    int bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1))
        ++bits;
    const std::uint32_t value = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
    return (value << shift) & mask;
}

inline std::uint8_t fromMask(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    int bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1))
        ++bits;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8)
        return static_cast<std::uint8_t>(value >> (bits - 8));
    const std::uint32_t top = (1u << bits) - 1;
    return static_cast<std::uint8_t>((value * 255 + top / 2) / top);
}

inline std::vector<std::byte> rleRow(const BmpRecipe& r, int y)
{
    const bool four = r.compression == 2;
    std::vector<std::byte> out;
    const auto push = [&](std::uint32_t v) { out.push_back(static_cast<std::byte>(v)); };
    int x = 0;
    while (x < r.width) {
        int run = 1;
        while (x + run < r.width && run < 255 && r.pixel(x + run, y) == r.pixel(x, y))
            ++run;
        if (run >= 2 || r.width - x < 3) {
            const std::uint32_t v = r.pixel(x, y);
            push(static_cast<std::uint32_t>(run));
            push(four ? (v << 4 | v) : v);
            x += run;
            continue;
        }
        // A literal run of the pixels up to the next pair, 3 to 255 of them.
        int n = 1;
        while (x + n < r.width && n < 255 &&
               !(x + n + 1 < r.width && r.pixel(x + n, y) == r.pixel(x + n + 1, y)))
            ++n;
        if (n < 3)
            n = std::min(3, r.width - x);
        push(0);
        push(static_cast<std::uint32_t>(n));
        std::size_t bytes = 0;
        for (int i = 0; i < n; i += four ? 2 : 1, ++bytes) {
            if (four) {
                const std::uint32_t lo = i + 1 < n ? r.pixel(x + i + 1, y) : 0;
                push(r.pixel(x + i, y) << 4 | lo);
            } else {
                push(r.pixel(x + i, y));
            }
        }
        if (bytes % 2)
            push(0);
        x += n;
    }
    push(0);
    push(0); // end of line
    return out;
}

} // namespace detail

inline std::vector<std::byte> buildBmp(const BmpRecipe& r)
{
    const bool core = r.headerSize == 12;
    const bool masksAfterHeader = (r.compression == 3 || r.compression == 6) && r.headerSize == 40;
    const std::size_t maskBytes = masksAfterHeader ? (r.compression == 6 ? 16 : 12) : 0;
    const std::size_t paletteBytes = r.palette.size() * (core ? 3 : 4);
    const std::size_t offset = 14 + static_cast<std::size_t>(r.headerSize) + maskBytes + paletteBytes;

    std::vector<std::byte> pixels;
    if (r.compression == 1 || r.compression == 2) {
        for (int row = 0; row < r.height; ++row) {
            const auto line = detail::rleRow(r, r.height - 1 - row);
            pixels.insert(pixels.end(), line.begin(), line.end());
        }
        pixels.push_back(std::byte{0});
        pixels.push_back(std::byte{1}); // end of bitmap
    } else {
        const auto masks = detail::effectiveMasks(r);
        const std::size_t stride =
            (static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.bitCount) + 31) / 32 * 4;
        pixels.assign(stride * static_cast<std::size_t>(r.height), std::byte{0});
        for (int row = 0; row < r.height; ++row) {
            const int y = r.topDown ? row : r.height - 1 - row;
            const std::size_t base = static_cast<std::size_t>(row) * stride;
            for (int x = 0; x < r.width; ++x) {
                const std::uint32_t p = r.pixel(x, y);
                const auto ux = static_cast<std::size_t>(x);
                switch (r.bitCount) {
                case 1: pixels[base + ux / 8] |= static_cast<std::byte>((p & 1) << (7 - ux % 8)); break;
                case 4: pixels[base + ux / 2] |= static_cast<std::byte>((p & 0xF) << (ux % 2 ? 0 : 4)); break;
                case 8: pixels[base + ux] = static_cast<std::byte>(p); break;
                default: {
                    std::uint32_t v = detail::intoMask(p >> 16 & 0xFF, masks[0]) |
                                      detail::intoMask(p >> 8 & 0xFF, masks[1]) |
                                      detail::intoMask(p & 0xFF, masks[2]);
                    if (r.compression == 6 || r.headerSize >= 56)
                        v |= detail::intoMask(p >> 24 & 0xFF, r.masks[3]);
                    const std::size_t size = static_cast<std::size_t>(r.bitCount) / 8;
                    for (std::size_t i = 0; i < size; ++i)
                        pixels[base + ux * size + i] = static_cast<std::byte>(v >> (8 * i));
                }
                }
            }
        }
    }

    std::vector<std::byte> out(offset, std::byte{0});
    out[0] = std::byte{'B'};
    out[1] = std::byte{'M'};
    detail::put32(out, 2, static_cast<std::uint32_t>(offset + pixels.size()));
    detail::put32(out, 10, static_cast<std::uint32_t>(offset));
    detail::put32(out, 14, static_cast<std::uint32_t>(r.headerSize));
    if (core) {
        detail::put16(out, 18, static_cast<std::uint32_t>(r.width));
        detail::put16(out, 20, static_cast<std::uint32_t>(r.height));
        detail::put16(out, 22, 1);
        detail::put16(out, 24, static_cast<std::uint32_t>(r.bitCount));
    } else {
        detail::put32(out, 18, static_cast<std::uint32_t>(r.width));
        detail::put32(out, 22, static_cast<std::uint32_t>(r.topDown ? -r.height : r.height));
        detail::put16(out, 26, 1);
        detail::put16(out, 28, static_cast<std::uint32_t>(r.bitCount));
        detail::put32(out, 30, r.compression);
        detail::put32(out, 34, static_cast<std::uint32_t>(pixels.size()));
        detail::put32(out, 38, static_cast<std::uint32_t>(r.pixelsPerMetreX));
        detail::put32(out, 42, static_cast<std::uint32_t>(r.pixelsPerMetreY));
        if (r.writeColorsUsed)
            detail::put32(out, 46, static_cast<std::uint32_t>(r.palette.size()));
        const std::size_t masksAt = 14 + 40;
        for (std::size_t i = 0;
             i < maskBytes / 4 || (r.headerSize >= 52 && i < (r.headerSize >= 56 ? 4u : 3u)); ++i)
            detail::put32(out, masksAt + 4 * i, r.masks[i]);
    }
    std::size_t at = 14 + static_cast<std::size_t>(r.headerSize) + maskBytes;
    for (const Rgb& c : r.palette) {
        out[at++] = static_cast<std::byte>(c.b);
        out[at++] = static_cast<std::byte>(c.g);
        out[at++] = static_cast<std::byte>(c.r);
        if (!core)
            out[at++] = std::byte{0};
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

// The colour a correct reader shows at (x, y), counted from the top.
inline Rgb expectedColour(const BmpRecipe& r, int x, int y)
{
    const std::uint32_t p = r.pixel(x, y);
    if (r.bitCount <= 8)
        return p < r.palette.size() ? r.palette[p] : Rgb{};
    const auto masks = detail::effectiveMasks(r);
    std::uint32_t stored = detail::intoMask(p >> 16 & 0xFF, masks[0]) |
                           detail::intoMask(p >> 8 & 0xFF, masks[1]) | detail::intoMask(p & 0xFF, masks[2]);
    return {detail::fromMask(stored, masks[0]), detail::fromMask(stored, masks[1]),
            detail::fromMask(stored, masks[2])};
}

// A palette of `n` distinct colours.
inline std::vector<Rgb> colourPalette(int n)
{
    std::vector<Rgb> palette;
    for (int i = 0; i < n; ++i)
        palette.push_back({static_cast<std::uint8_t>(i * 97 + 13), static_cast<std::uint8_t>(255 - i * 41),
                           static_cast<std::uint8_t>(i * 7 + 100)});
    return palette;
}

// Indices 0 .. n-1 in stripes and runs, so RLE has both runs and literals.
inline std::function<std::uint32_t(int, int)> indexPattern(int n)
{
    return [n](int x, int y) {
        const int v = (x / 3 + y) % 4 == 0 ? 1 : (x * 3 + y * 5) % n;
        return static_cast<std::uint32_t>(v % n);
    };
}

} // namespace gb::test
