#include "core/icons/dib_decoder.h"

#include "core/pixels/channel_mask.h"
#include <algorithm>
#include <bit>

// Field offsets follow the BMP format documentation (BITMAPCOREHEADER,
// BITMAPINFOHEADER and its V4/V5 extensions).

namespace gb {

namespace {

// Every header starts with its own size (bcSize, biSize).
constexpr std::uint64_t kHeaderSizeField = 0;

// BITMAPCOREHEADER: 16-bit width and height.
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint64_t kBcWidth = 4;     // WORD
constexpr std::uint64_t kBcHeight = 6;    // WORD
constexpr std::uint64_t kBcPlanes = 8;    // WORD
constexpr std::uint64_t kBcBitCount = 10; // WORD

// BITMAPINFOHEADER.
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint64_t kBiWidth = 4;        // LONG
constexpr std::uint64_t kBiHeight = 8;       // LONG
constexpr std::uint64_t kBiPlanes = 12;      // WORD
constexpr std::uint64_t kBiBitCount = 14;    // WORD
constexpr std::uint64_t kBiCompression = 16; // DWORD
constexpr std::uint64_t kBiClrUsed = 32;     // DWORD

// The extensions after biClrImportant: Adobe's two add the red, green and
// blue masks (52 bytes), then the alpha mask (56); V4 (108) and V5 (124)
// hold them at the same offsets.
constexpr std::uint32_t kRgbMasksHeaderSize = 52;
constexpr std::uint32_t kAlphaMaskHeaderSize = 56;
constexpr std::uint64_t kRedMask = 40;   // DWORD bV4RedMask
constexpr std::uint64_t kAlphaMask = 52; // DWORD bV4AlphaMask
constexpr std::uint64_t kMaskBytes = 4;  // red, green, blue follow each other
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;

constexpr std::uint32_t kAllowedHeaderSizes[] = {kCoreHeaderSize,      kInfoHeaderSize, kRgbMasksHeaderSize,
                                                 kAlphaMaskHeaderSize, kV4HeaderSize,   kV5HeaderSize};
constexpr int kAllowedBitCounts[] = {1, 4, 8, 16, 24, 32};

// The colour table: RGBTRIPLE after a core header, RGBQUAD after the others.
constexpr std::uint64_t kRgbTripleSize = 3;
constexpr std::uint64_t kRgbQuadSize = 4;
constexpr std::uint64_t kRgbBlue = 0;
constexpr std::uint64_t kRgbGreen = 1;
constexpr std::uint64_t kRgbRed = 2;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

struct DibLayout {
    std::uint32_t headerSize = 0;
    int width = 0;
    int height = 0; // of the icon: half the stored height (colour + mask)
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
};

std::expected<DibLayout, ReadFailure> readLayout(const ByteReader& dib)
{
    DibLayout layout;
    const auto headerSize = dib.u32le(kHeaderSizeField);
    if (!headerSize)
        return std::unexpected(ReadFailure{ReadError::Truncated, 0});
    if (std::ranges::find(kAllowedHeaderSizes, *headerSize) == std::end(kAllowedHeaderSizes))
        return std::unexpected(ReadFailure{ReadError::BadMagic, 0});
    if (!dib.fits(0, *headerSize))
        return std::unexpected(ReadFailure{ReadError::Truncated, 0});
    layout.headerSize = *headerSize;

    std::int64_t width = 0, storedHeight = 0;
    std::uint16_t planes = 0, bitCount = 0;
    if (*headerSize == kCoreHeaderSize) {
        width = *dib.u16le(kBcWidth);
        storedHeight = *dib.u16le(kBcHeight);
        planes = *dib.u16le(kBcPlanes);
        bitCount = *dib.u16le(kBcBitCount);
    } else {
        width = *dib.i32le(kBiWidth);
        storedHeight = *dib.i32le(kBiHeight);
        planes = *dib.u16le(kBiPlanes);
        bitCount = *dib.u16le(kBiBitCount);
        layout.compression = *dib.u32le(kBiCompression);
        layout.colorsUsed = *dib.u32le(kBiClrUsed);
    }
    // Icons are stored bottom-up with the mask below the colours; a negative
    // (top-down) height does not occur in icons Windows can draw.
    if (width <= 0 || storedHeight < 2 || planes > 1)
        return std::unexpected(ReadFailure{ReadError::BadMagic, kBiWidth});
    if (width > kMaxDecodedSide || storedHeight / 2 > kMaxDecodedSide)
        return std::unexpected(ReadFailure{ReadError::TooLarge, kBiWidth});
    if (std::ranges::find(kAllowedBitCounts, bitCount) == std::end(kAllowedBitCounts))
        return std::unexpected(ReadFailure{ReadError::Unsupported, kBiBitCount});
    const bool bitfieldsAllowed = bitCount == 16 || bitCount == 32;
    if (layout.compression != kBiRgb && !(layout.compression == kBiBitfields && bitfieldsAllowed))
        return std::unexpected(ReadFailure{ReadError::Unsupported, kBiCompression});

    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(storedHeight / 2);
    layout.bitCount = bitCount;
    return layout;
}

struct Channels {
    ChannelMask r, g, b, a;
};

Channels channelsFor(const DibLayout& layout, const ByteReader& dib)
{
    if (layout.compression == kBiBitfields) {
        // V4 and V5 headers carry the masks inside; a plain info header has
        // the three colour masks right after it.
        const std::uint64_t at = layout.headerSize >= kRgbMasksHeaderSize ? kRedMask : layout.headerSize;
        const std::uint32_t r = dib.u32le(at).value_or(0), g = dib.u32le(at + kMaskBytes).value_or(0),
                            b = dib.u32le(at + 2 * kMaskBytes).value_or(0);
        std::uint32_t a = layout.headerSize >= kAlphaMaskHeaderSize ? dib.u32le(kAlphaMask).value_or(0) : 0;
        if (layout.headerSize < kAlphaMaskHeaderSize && layout.bitCount == 32 && (r | g | b) == 0x00ffffffu)
            a = 0xff000000u; // the spare byte of 8-8-8 masks is alpha, as in BI_RGB
        return {ChannelMask(r), ChannelMask(g), ChannelMask(b), ChannelMask(a)};
    }
    if (layout.bitCount == 16) // BI_RGB 16-bit is 5-5-5 with the top bit unused
        return {ChannelMask(0x7c00), ChannelMask(0x03e0), ChannelMask(0x001f), ChannelMask{}};
    return {ChannelMask(0x00ff0000), ChannelMask(0x0000ff00), ChannelMask(0x000000ff),
            ChannelMask(0xff000000)};
}

std::uint64_t masksSize(const DibLayout& layout)
{
    // Only a plain info header (or the 52/56-byte variants counted as such)
    // is followed by separate masks.
    return layout.compression == kBiBitfields && layout.headerSize == kInfoHeaderSize ? 3 * kMaskBytes : 0;
}

std::uint64_t paletteEntrySize(const DibLayout& layout)
{
    return layout.headerSize == kCoreHeaderSize ? kRgbTripleSize : kRgbQuadSize;
}

std::uint64_t paletteCount(const DibLayout& layout)
{
    const std::uint64_t full = layout.bitCount <= 8 ? (1u << layout.bitCount) : 0;
    if (layout.bitCount <= 8)
        return layout.colorsUsed == 0 || layout.colorsUsed > full ? full : layout.colorsUsed;
    // Deeper images may carry an optional table; it only moves the pixels.
    return layout.colorsUsed <= 256 ? layout.colorsUsed : 0;
}

std::uint64_t stride(int width, int bitCount)
{
    return ((static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32) * 4;
}

struct DibExtent {
    std::uint64_t paletteAt, colours, xorAt, xorStride, andAt, andStride;
};

DibExtent extentOf(const DibLayout& layout)
{
    DibExtent e{};
    e.paletteAt = layout.headerSize + masksSize(layout);
    e.colours = paletteCount(layout);
    e.xorAt = e.paletteAt + e.colours * paletteEntrySize(layout);
    e.xorStride = stride(layout.width, layout.bitCount);
    e.andStride = stride(layout.width, 1);
    e.andAt = e.xorAt + e.xorStride * static_cast<std::uint64_t>(layout.height);
    return e;
}

} // namespace

std::optional<std::uint64_t> dibLength(const ByteReader& header)
{
    const auto layout = readLayout(header);
    if (!layout)
        return std::nullopt;
    const DibExtent e = extentOf(*layout);
    return e.andAt + e.andStride * static_cast<std::uint64_t>(layout->height);
}

std::expected<ImageHeader, ReadFailure> probeDib(const ByteReader& image)
{
    auto layout = readLayout(image);
    if (!layout)
        return std::unexpected(layout.error());
    return ImageHeader{layout->width, layout->height, layout->bitCount, false};
}

std::expected<RgbaImage, ReadFailure> decodeDib(const ByteReader& dib)
{
    auto layoutOr = readLayout(dib);
    if (!layoutOr)
        return std::unexpected(layoutOr.error());
    const DibLayout& layout = *layoutOr;
    const int w = layout.width, h = layout.height;

    const auto [paletteAt, colours, xorAt, xorStride, andAt, andStride] = extentOf(layout);
    const std::uint64_t rows = static_cast<std::uint64_t>(h);
    if (!dib.fits(xorAt, xorStride * rows))
        return std::unexpected(ReadFailure{ReadError::Truncated, xorAt});
    // Some writers leave the mask out of 32-bit images; the image is then
    // drawn by its alpha, or opaque.
    const bool hasMask = dib.fits(andAt, andStride * rows);

    std::vector<Rgba> palette(colours);
    for (std::uint64_t i = 0; i < colours; ++i) {
        const std::uint64_t at = paletteAt + i * paletteEntrySize(layout);
        palette[i] = Rgba{*dib.u8(at + kRgbRed), *dib.u8(at + kRgbGreen), *dib.u8(at + kRgbBlue), 255};
    }
    const Channels channels = channelsFor(layout, dib);

    RgbaImage out(w, h);
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const std::uint64_t row = xorAt + static_cast<std::uint64_t>(h - 1 - y) * xorStride;
        for (int x = 0; x < w; ++x) {
            const auto ux = static_cast<std::uint64_t>(x);
            Rgba p{0, 0, 0, 255};
            switch (layout.bitCount) {
            case 1:
            case 4:
            case 8: {
                const std::uint64_t bit = ux * static_cast<std::uint64_t>(layout.bitCount);
                const std::uint8_t byte = *dib.u8(row + bit / 8);
                const int shift = 8 - layout.bitCount - static_cast<int>(bit % 8);
                const unsigned index = (byte >> shift) & ((1u << layout.bitCount) - 1);
                if (index < palette.size())
                    p = palette[index]; // an index past the table draws black
                break;
            }
            case 16: {
                const std::uint32_t v = *dib.u16le(row + ux * 2);
                p = Rgba{channels.r.scale(v), channels.g.scale(v), channels.b.scale(v), 255};
                break;
            }
            case 24:
                p = Rgba{*dib.u8(row + ux * 3 + 2), *dib.u8(row + ux * 3 + 1), *dib.u8(row + ux * 3), 255};
                break;
            default: {
                const std::uint32_t v = *dib.u32le(row + ux * 4);
                p = Rgba{channels.r.scale(v), channels.g.scale(v), channels.b.scale(v), channels.a.scale(v)};
                anyAlpha = anyAlpha || p.a != 0;
                break;
            }
            }
            out.at(x, y) = p;
        }
    }

    // A 32-bit image with any alpha is drawn by its alpha alone. Every other
    // image is drawn by its AND mask: a set bit is transparent whatever colour
    // lies under it (Windows would XOR that colour onto the background; real
    // icons carry near-black noise there, which every icon tool reads as
    // transparent).
    const bool useAlpha = layout.bitCount == 32 && anyAlpha;
    for (int y = 0; y < h; ++y) {
        const std::uint64_t row = andAt + static_cast<std::uint64_t>(h - 1 - y) * andStride;
        for (int x = 0; x < w; ++x) {
            Rgba& p = out.at(x, y);
            if (!useAlpha) {
                const auto ux = static_cast<std::uint64_t>(x);
                const bool transparent = hasMask && ((*dib.u8(row + ux / 8) >> (7 - ux % 8)) & 1) != 0;
                p.a = transparent ? 0 : 255;
            }
            if (p.a == 0)
                p = Rgba{}; // a transparent pixel carries no colour
        }
    }
    return out;
}

} // namespace gb
