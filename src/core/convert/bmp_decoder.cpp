#include "core/convert/bmp_decoder.h"

#include "core/bytes/byte_reader.h"
#include "core/pixels/channel_mask.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

namespace gb::convert {

namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // BITMAPCOREHEADER (OS/2 1.x)
constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kOs2v2HeaderSize = 64; // BITMAPINFOHEADER2: compression 3 and 4 mean other things

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3,
    kJpeg = 4,
    kPng = 5,
    kAlphaBitfields = 6,
};

std::unexpected<CodecFailure> fail(ConvertStatus status, const char* reason)
{
    return std::unexpected(CodecFailure{status, reason});
}

struct Bgr {
    std::uint8_t b = 0, g = 0, r = 0;
};

struct Header {
    std::uint32_t headerSize = 0;
    std::uint64_t pixelOffset = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // made positive; topDown says which way
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t colorsUsed = 0;
    std::int32_t pixelsPerMetreX = 0; // 0 in the 12-byte header, which has no such fields
    std::int32_t pixelsPerMetreY = 0;
};

struct Masks {
    ChannelMask red, green, blue;
};

std::expected<Header, CodecFailure> readHeader(const ByteReader& file)
{
    static constexpr std::array<std::uint8_t, 2> magic{'B', 'M'};
    if (!file.startsWith(0, magic))
        return fail(ConvertStatus::NotBmp, "no BM signature");
    const auto pixelOffset = file.u32le(10);
    const auto headerSize = file.u32le(kFileHeaderSize);
    if (!pixelOffset || !headerSize)
        return fail(ConvertStatus::Damaged, "file header truncated");

    Header h;
    h.headerSize = *headerSize;
    h.pixelOffset = *pixelOffset;
    if (h.headerSize == kCoreHeaderSize) {
        const auto width = file.u16le(18);
        const auto height = file.u16le(20);
        const auto bits = file.u16le(24);
        if (!width || !height || !bits)
            return fail(ConvertStatus::Damaged, "info header truncated");
        h.width = *width;
        h.height = *height;
        h.bitCount = *bits;
    } else {
        switch (h.headerSize) {
        case 40:  // BITMAPINFOHEADER
        case 52:  // BITMAPV2INFOHEADER: RGB masks
        case 56:  // BITMAPV3INFOHEADER: RGBA masks
        case 64:  // BITMAPINFOHEADER2 of OS/2 2.x
        case 108: // BITMAPV4HEADER
        case 124: // BITMAPV5HEADER
            break;
        default: return fail(ConvertStatus::Unsupported, "unknown info header size");
        }
        if (!file.fits(kFileHeaderSize, h.headerSize))
            return fail(ConvertStatus::Damaged, "info header truncated");
        const std::int32_t width = *file.i32le(18);
        const std::int32_t height = *file.i32le(22);
        h.bitCount = *file.u16le(28);
        h.compression = *file.u32le(30);
        h.colorsUsed = *file.u32le(46);
        h.pixelsPerMetreX = *file.i32le(38);
        h.pixelsPerMetreY = *file.i32le(42);
        if (width <= 0)
            return fail(ConvertStatus::Damaged, "width not positive");
        if (height == 0 || height == INT32_MIN)
            return fail(ConvertStatus::Damaged, "height zero or out of range");
        h.width = width;
        h.topDown = height < 0;
        h.height = h.topDown ? -static_cast<std::int64_t>(height) : height;
        if (h.headerSize == kOs2v2HeaderSize && (h.compression == 3 || h.compression == 4))
            return fail(ConvertStatus::Unsupported, "OS/2 Huffman or RLE24 compression");
    }
    if (h.width == 0 || h.height == 0)
        return fail(ConvertStatus::Damaged, "width or height zero");

    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return fail(ConvertStatus::Unsupported, "bit count other than 1, 4, 8, 16, 24, 32");
    }
    switch (h.compression) {
    case kRgb: break;
    case kRle8:
        if (h.bitCount != 8)
            return fail(ConvertStatus::Damaged, "RLE8 needs 8 bits per pixel");
        break;
    case kRle4:
        if (h.bitCount != 4)
            return fail(ConvertStatus::Damaged, "RLE4 needs 4 bits per pixel");
        break;
    case kBitfields:
    case kAlphaBitfields:
        if (h.bitCount != 16 && h.bitCount != 32)
            return fail(ConvertStatus::Unsupported, "bit masks need 16 or 32 bits per pixel");
        break;
    case kJpeg:
    case kPng: return fail(ConvertStatus::Unsupported, "embedded JPEG or PNG image");
    default: return fail(ConvertStatus::Unsupported, "unknown compression");
    }
    // Windows refuses compressed top-down bitmaps: RLE runs go bottom-up.
    if (h.topDown && (h.compression == kRle8 || h.compression == kRle4))
        return fail(ConvertStatus::Unsupported, "top-down RLE bitmap");

    if (h.pixelOffset < kFileHeaderSize + h.headerSize)
        return fail(ConvertStatus::Damaged, "pixel data offset inside the headers");
    if (h.pixelOffset >= file.size())
        return fail(ConvertStatus::Damaged, "pixel data offset past the end");
    return h;
}

std::expected<Masks, CodecFailure> readMasks(const ByteReader& file, const Header& h)
{
    if (h.compression != kBitfields && h.compression != kAlphaBitfields) {
        if (h.bitCount == 16)
            return Masks{ChannelMask(0x7C00), ChannelMask(0x03E0), ChannelMask(0x001F)}; // 5-5-5
        return Masks{ChannelMask(0xFF0000), ChannelMask(0x00FF00), ChannelMask(0x0000FF)};
    }
    // The masks are part of the newer headers; after a 40-byte header they
    // follow it, where the palette would be.
    const std::uint64_t at = kFileHeaderSize + (h.headerSize >= 52 ? kInfoHeaderSize : h.headerSize);
    const auto red = file.u32le(at);
    const auto green = file.u32le(at + 4);
    const auto blue = file.u32le(at + 8);
    if (!red || !green || !blue)
        return fail(ConvertStatus::Damaged, "bit masks truncated");
    const Masks masks{ChannelMask(*red), ChannelMask(*green), ChannelMask(*blue)};
    const std::uint64_t limit = h.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    for (const ChannelMask& c : {masks.red, masks.green, masks.blue}) {
        if (c.mask() > limit)
            return fail(ConvertStatus::Damaged, "bit mask wider than the pixel");
        if (!c.contiguous())
            return fail(ConvertStatus::Unsupported, "bit mask with gaps");
    }
    return masks;
}

// The palette of a 1-, 4- or 8-bit bitmap, always 256 entries: an index the
// file's palette does not reach is black.
struct Palette {
    std::array<Bgr, 256> entries{};
    bool gray = true;
};

std::expected<Palette, CodecFailure> readPalette(const ByteReader& file, const Header& h)
{
    const std::uint64_t entrySize = h.headerSize == kCoreHeaderSize ? 3 : 4;
    const std::uint64_t at = kFileHeaderSize + h.headerSize;
    const std::uint64_t most = std::uint64_t{1} << h.bitCount;
    std::uint64_t count = h.colorsUsed != 0 ? std::min<std::uint64_t>(h.colorsUsed, most) : most;
    // Writers that leave colorsUsed at 0 with a short palette are common:
    // whatever lies between the headers and the pixels is the palette.
    count = std::min(count, (h.pixelOffset - at) / entrySize);
    if (count == 0)
        return fail(ConvertStatus::Damaged, "no room for a palette");

    Palette palette;
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto entry = file.sub(at + i * entrySize, 3);
        if (!entry)
            return fail(ConvertStatus::Damaged, "palette truncated");
        Bgr& c = palette.entries[i];
        c = {*entry->u8(0), *entry->u8(1), *entry->u8(2)};
        palette.gray = palette.gray && c.b == c.g && c.g == c.r;
    }
    return palette;
}

// The decoded picture. Its storage is not cleared first: every pixel is
// written by the decoder (RLE bitmaps fill it with their background first).
class Canvas {
public:
    Canvas(const Header& h, PixelLayout layout) : layout_(layout)
    {
        result_.rows.width = static_cast<int>(h.width);
        result_.rows.height = static_cast<int>(h.height);
        result_.rows.layout = layout;
        result_.rows.stride =
            static_cast<std::size_t>(h.width) * static_cast<std::size_t>(bytesPerPixel(layout));
        result_.storage = std::make_unique_for_overwrite<std::uint8_t[]>(result_.rows.stride *
                                                                         static_cast<std::size_t>(h.height));
        result_.rows.first = result_.storage.get();
    }

    // Output row of the stored (file) row `fileRow`, so rows are written in file order.
    std::uint8_t* rowFor(const Header& h, std::uint64_t fileRow)
    {
        const std::uint64_t top = h.topDown ? fileRow : static_cast<std::uint64_t>(h.height) - 1 - fileRow;
        return result_.storage.get() + top * result_.rows.stride;
    }

    void put(std::uint8_t* row, std::uint64_t x, Bgr c) const
    {
        if (layout_ == PixelLayout::Gray) {
            row[x] = c.g;
            return;
        }
        std::uint8_t* p = row + x * 3;
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    }

    // Every pixel the colour `c`.
    void fill(Bgr c)
    {
        const std::size_t rows = static_cast<std::size_t>(result_.rows.height);
        std::uint8_t* first = result_.storage.get();
        for (std::size_t x = 0; x < static_cast<std::size_t>(result_.rows.width); ++x)
            put(first, x, c);
        for (std::size_t y = 1; y < rows; ++y)
            std::copy_n(first, result_.rows.stride, first + y * result_.rows.stride);
    }

    DecodedBmp take() { return std::move(result_); }

private:
    PixelLayout layout_;
    DecodedBmp result_;
};

std::uint32_t indexAt(std::span<const std::byte> row, std::uint64_t x, int bitCount)
{
    switch (bitCount) {
    case 1: return (std::to_integer<std::uint32_t>(row[x / 8]) >> (7 - x % 8)) & 1;
    case 4: return (std::to_integer<std::uint32_t>(row[x / 2]) >> (x % 2 ? 0 : 4)) & 0xF;
    default: return std::to_integer<std::uint32_t>(row[x]);
    }
}

DecodedBmp decodeRows(const ByteReader& file, const Header& h, std::uint64_t stride, const Palette* palette,
                      const Masks& masks)
{
    const bool gray = palette && palette->gray;
    Canvas canvas(h, gray ? PixelLayout::Gray : PixelLayout::Bgr);
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(h.width) * static_cast<unsigned>(h.bitCount) + 7) / 8;
    const auto width = static_cast<std::uint64_t>(h.width);
    for (std::uint64_t y = 0; y < static_cast<std::uint64_t>(h.height); ++y) {
        // Checked by the caller: every row lies inside the file.
        const std::span<const std::byte> row = file.sub(h.pixelOffset + y * stride, rowBytes)->bytes();
        std::uint8_t* out = canvas.rowFor(h, y);
        if (palette) {
            for (std::uint64_t x = 0; x < width; ++x)
                canvas.put(out, x, palette->entries[indexAt(row, x, h.bitCount)]);
        } else if (h.bitCount == 24) {
            std::copy_n(reinterpret_cast<const std::uint8_t*>(row.data()), width * 3, out);
        } else {
            const std::uint64_t size = static_cast<unsigned>(h.bitCount) / 8;
            for (std::uint64_t x = 0; x < width; ++x) {
                std::uint32_t pixel = 0;
                for (std::uint64_t i = 0; i < size; ++i)
                    pixel |= std::to_integer<std::uint32_t>(row[x * size + i]) << (8 * i);
                canvas.put(out, x,
                           Bgr{masks.blue.scale(pixel), masks.green.scale(pixel), masks.red.scale(pixel)});
            }
        }
    }
    return canvas.take();
}

// RLE8 and RLE4: runs of one index (two alternating nibbles for RLE4),
// escapes for end of line, end of bitmap, a jump ahead, and literal runs
// padded to 16 bits. Pixels the runs skip keep index 0. Runs past the right
// edge are cut; the image ends at the end of bitmap, at the top row, or
// where the data ends between two runs. Data that ends inside a run is
// damaged.
constexpr std::uint64_t kRlePixelsPerByte = 256;

// Goes through the runs, calling paint(x, y, index) for each pixel a run
// sets inside the picture (y counted in file order, from the bottom).
template <typename Paint>
std::expected<void, CodecFailure> readRuns(const ByteReader& data, const Header& h, Paint paint)
{
    const auto width = static_cast<std::uint64_t>(h.width);
    const auto height = static_cast<std::uint64_t>(h.height);
    const bool four = h.compression == kRle4;
    std::uint64_t at = 0, x = 0, y = 0;
    const auto put = [&](std::uint32_t index) {
        if (x < width)
            paint(x, y, index);
        ++x;
    };
    while (y < height) {
        const auto count = data.u8(at);
        const auto value = data.u8(at + 1);
        if (!count || !value) {
            if (at == data.size())
                break; // no end-of-bitmap mark: many writers leave it out
            return fail(ConvertStatus::Damaged, "RLE data ends inside a run");
        }
        at += 2;
        if (*count > 0) {
            for (unsigned i = 0; i < *count && x < width; ++i)
                put(four ? (i % 2 ? *value & 0xFu : *value >> 4u) : *value);
            continue;
        }
        if (*value == 0) { // end of line
            x = 0;
            ++y;
        } else if (*value == 1) { // end of bitmap
            break;
        } else if (*value == 2) { // jump right and up
            const auto dx = data.u8(at);
            const auto dy = data.u8(at + 1);
            if (!dx || !dy)
                return fail(ConvertStatus::Damaged, "RLE data ends inside a jump");
            at += 2;
            x += *dx;
            y += *dy;
        } else { // literal run of `value` pixels
            const std::uint64_t n = *value;
            const std::uint64_t bytes = four ? (n + 1) / 2 : n;
            const auto literal = data.sub(at, bytes);
            if (!literal)
                return fail(ConvertStatus::Damaged, "RLE data ends inside a literal run");
            for (std::uint64_t i = 0; i < n && x < width; ++i) {
                const std::uint8_t byte = *literal->u8(four ? i / 2 : i);
                put(four ? (i % 2 ? byte & 0xFu : byte >> 4u) : byte);
            }
            at += bytes + (bytes & 1); // literal runs are padded to 16 bits
        }
    }
    return {};
}

std::expected<DecodedBmp, CodecFailure> decodeRle(const ByteReader& file, const Header& h,
                                                  const Palette& palette)
{
    const auto width = static_cast<std::uint64_t>(h.width);
    const auto height = static_cast<std::uint64_t>(h.height);
    const ByteReader data = file.tail(h.pixelOffset);
    // Two bytes of RLE data hold at most 255 pixels. A bitmap that claims
    // more than twice that density (and a little for its end marks) is not
    // one its data could hold, and would cost memory and time out of all
    // proportion to its size.
    if (width * height > kRlePixelsPerByte * (data.size() + 2))
        return fail(ConvertStatus::Damaged, "more RLE pixels than the data can hold");
    // The runs are checked first, so damaged data is refused before the
    // picture is allocated; a pass over them costs little beside one.
    if (const auto checked = readRuns(data, h, [](std::uint64_t, std::uint64_t, std::uint32_t) {}); !checked)
        return std::unexpected(checked.error());
    // Pixels no run reaches keep index 0.
    Canvas canvas(h, palette.gray ? PixelLayout::Gray : PixelLayout::Bgr);
    canvas.fill(palette.entries[0]);
    (void)readRuns(data, h, [&](std::uint64_t x, std::uint64_t y, std::uint32_t index) {
        canvas.put(canvas.rowFor(h, y), x, palette.entries[index]);
    });
    return canvas.take();
}

} // namespace

std::expected<BmpInfo, CodecFailure> probeBmp(std::span<const std::byte> bytes)
{
    const auto header = readHeader(ByteReader(bytes));
    if (!header)
        return std::unexpected(header.error());
    // Both sides are below 2^31: readHeader refuses the rest.
    return BmpInfo{static_cast<int>(header->width), static_cast<int>(header->height)};
}

std::expected<DecodedBmp, CodecFailure> decodeBmp(std::span<const std::byte> bytes, const CodecLimits& limits)
{
    const ByteReader file(bytes);
    const auto header = readHeader(file);
    if (!header)
        return std::unexpected(header.error());
    const Header& h = *header;

    // Both sides are below 2^31, so the product cannot overflow 64 bits.
    if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) > limits.maxPixels)
        return fail(ConvertStatus::TooLarge, "more pixels than the limit");

    std::optional<Palette> palette;
    if (h.bitCount <= 8) {
        auto read = readPalette(file, h);
        if (!read)
            return std::unexpected(read.error());
        palette = *read;
    }
    const auto masks = readMasks(file, h);
    if (!masks)
        return std::unexpected(masks.error());

    if (h.compression == kRle8 || h.compression == kRle4)
        return decodeRle(file, h, *palette);

    // Rows are padded to 32 bits. The last row may lack its padding.
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(h.width) * static_cast<unsigned>(h.bitCount) + 31) / 32 * 4;
    const std::uint64_t lastRow =
        (static_cast<std::uint64_t>(h.width) * static_cast<unsigned>(h.bitCount) + 7) / 8;
    if (!file.fits(h.pixelOffset, stride * static_cast<std::uint64_t>(h.height - 1) + lastRow))
        return fail(ConvertStatus::Damaged, "pixel data truncated");

    const bool plainBgrx = h.bitCount == 32 && masks->red.mask() == 0xFF0000 &&
                           masks->green.mask() == 0xFF00 && masks->blue.mask() == 0xFF;
    if (h.bitCount == 24 || plainBgrx) {
        // Already rows the JPEG encoder reads as they are.
        DecodedBmp view;
        view.rows.first = reinterpret_cast<const std::uint8_t*>(bytes.data() + h.pixelOffset);
        view.rows.width = static_cast<int>(h.width);
        view.rows.height = static_cast<int>(h.height);
        view.rows.stride = static_cast<std::size_t>(stride);
        view.rows.bottomUp = !h.topDown;
        view.rows.layout = h.bitCount == 24 ? PixelLayout::Bgr : PixelLayout::Bgrx;
        return view;
    }
    return decodeRows(file, h, stride, palette ? &*palette : nullptr, *masks);
}

JfifDensity bmpDensity(std::span<const std::byte> bytes)
{
    const auto header = readHeader(ByteReader(bytes));
    if (!header || header->pixelsPerMetreX <= 0 || header->pixelsPerMetreY <= 0)
        return {};
    constexpr std::int32_t kCentimetresPerMetre = 100;
    return JfifDensity{2, static_cast<std::uint16_t>(header->pixelsPerMetreX / kCentimetresPerMetre),
                       static_cast<std::uint16_t>(header->pixelsPerMetreY / kCentimetresPerMetre)};
}

} // namespace gb::convert
