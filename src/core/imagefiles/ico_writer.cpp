#include "core/imagefiles/ico_writer.h"

#include "core/icons/icon_image.h"
#include "core/imagefiles/byte_writer.h"

#include <algorithm>
#include <set>
#include <utility>

namespace gb {

namespace {

constexpr std::uint16_t kIconType = 1;
constexpr std::uint32_t kIcoHeaderSize = 6;
constexpr std::uint32_t kIcoEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

// The directory stores sides as one byte, 0 meaning 256.
std::uint8_t storedSide(int side)
{
    return static_cast<std::uint8_t>(side >= 256 ? 0 : side);
}

void writeDirectoryEntry(ByteWriter& out, int width, int height, int bitCount, std::uint32_t size,
                         std::uint32_t offset)
{
    out.u8(storedSide(width));
    out.u8(storedSide(height));
    out.u8(0); // colour count: 0 for images of more than 256 colours
    out.u8(0);
    out.u16(1); // planes
    out.u16(static_cast<std::uint16_t>(bitCount));
    out.u32(size);
    out.u32(offset);
}

} // namespace

std::vector<std::byte> encodeIconDib(const RgbaImage& image)
{
    const int w = image.width(), h = image.height();
    const auto uw = static_cast<std::uint32_t>(w), uh = static_cast<std::uint32_t>(h);
    const std::uint32_t xorSize = uw * uh * 4;
    const std::uint32_t andStride = ((uw + 31) / 32) * 4;
    const std::uint32_t andSize = andStride * uh;

    ByteWriter out;
    out.u32(kInfoHeaderSize);
    out.i32(w);
    out.i32(h * 2); // colours and mask
    out.u16(1);
    out.u16(32);
    out.u32(0); // BI_RGB
    out.u32(xorSize + andSize);
    out.zeros(16); // resolution and colour counts

    for (int y = h - 1; y >= 0; --y) // bottom-up
        for (int x = 0; x < w; ++x) {
            const Rgba& p = image.at(x, y);
            out.u8(p.b);
            out.u8(p.g);
            out.u8(p.r);
            out.u8(p.a);
        }
    // The AND mask repeats the alpha's shape for readers that ignore alpha.
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if (image.at(x, y).a == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        for (std::uint8_t b : row)
            out.u8(b);
    }
    return out.take();
}

std::vector<std::byte> encodeIco(const RgbaImage& image)
{
    const std::vector<std::byte> dib = encodeIconDib(image);
    ByteWriter out;
    out.u16(0);
    out.u16(kIconType);
    out.u16(1);
    writeDirectoryEntry(out, image.width(), image.height(), 32, static_cast<std::uint32_t>(dib.size()),
                        kIcoHeaderSize + kIcoEntrySize);
    out.append(dib);
    return out.take();
}

std::expected<std::vector<std::byte>, ReadFailure> encodeOriginalIco(const IconGroup& group)
{
    // Each stored image once: hostile groups name one image from a thousand
    // entries, which would write it a thousand times.
    std::vector<const GroupEntry*> present;
    std::set<std::pair<std::uint64_t, std::uint64_t>> seen; // offset and size in the file
    for (const GroupEntry& entry : group.entries)
        if (entry.image && entry.image->size() > 0 && seen.insert(entry.place()).second)
            present.push_back(&entry);
    if (present.empty())
        return std::unexpected(ReadFailure{ReadError::Missing, 0});

    ByteWriter out;
    out.u16(0);
    out.u16(kIconType);
    out.u16(static_cast<std::uint16_t>(present.size()));
    std::uint64_t offset = kIcoHeaderSize + kIcoEntrySize * present.size();
    for (const GroupEntry* entry : present) {
        // The directory describes each image by its own header where it can
        // be read; the group's claims are often wrong.
        int width = entry->declaredWidth, height = entry->declaredHeight, bitCount = entry->declaredBitCount;
        if (auto header = probeIconImage(*entry->image)) {
            width = header->width;
            height = header->height;
            bitCount = header->bitDepth;
        }
        const std::uint64_t size = entry->image->size();
        if (offset + size > 0xffffffffu)
            return std::unexpected(ReadFailure{ReadError::Overflow, entry->imageOffset});
        writeDirectoryEntry(out, width, height, bitCount, static_cast<std::uint32_t>(size),
                            static_cast<std::uint32_t>(offset));
        offset += size;
    }
    for (const GroupEntry* entry : present)
        out.append(entry->image->bytes());
    return out.take();
}

} // namespace gb
