#include "core/cursors/cur_writer.h"

#include "core/bytes/byte_reader.h"
#include "core/icons/icon_image.h"
#include "core/imagefiles/byte_writer.h"
#include "core/imagefiles/ico_writer.h"

#include <algorithm>
#include <set>
#include <span>

namespace gb {

namespace {

constexpr std::uint16_t kCursorType = 2;
constexpr std::uint32_t kHeaderBytes = 6;   // reserved, type, count
constexpr std::uint32_t kEntryBytes = 16;   // one directory entry
constexpr std::size_t kMaxEntries = 0xffff; // the count is 16 bits

// The directory stores sides as one byte, 0 meaning 256.
std::uint8_t storedSide(int side)
{
    return static_cast<std::uint8_t>(side >= 256 ? 0 : side);
}

struct SpanLess {
    bool operator()(std::span<const std::byte> a, std::span<const std::byte> b) const
    {
        return std::ranges::lexicographical_compare(a, b);
    }
};

struct Entry {
    const CursorImage* image;
    std::span<const std::byte> bytes;
};

} // namespace

std::expected<std::vector<std::byte>, CursorWriteError> encodeCur(const CursorFrame& frame)
{
    std::vector<std::vector<std::byte>> drawn; // images with no stored bytes, made from their pixels
    drawn.reserve(frame.images.size());
    std::vector<Entry> entries;
    std::set<std::span<const std::byte>, SpanLess> seen;
    for (const CursorImage& image : frame.images) {
        std::span<const std::byte> bytes = image.stored;
        if (bytes.empty()) {
            if (image.pixels.empty())
                continue;
            drawn.push_back(encodeIconDib(image.pixels));
            bytes = drawn.back();
        }
        if (seen.insert(bytes).second)
            entries.push_back({&image, bytes});
    }
    if (entries.empty())
        return std::unexpected(CursorWriteError::NoImage);
    if (entries.size() > kMaxEntries)
        return std::unexpected(CursorWriteError::TooLarge);

    std::uint64_t offset = kHeaderBytes + std::uint64_t{kEntryBytes} * entries.size();
    ByteWriter out;
    out.u16(0);
    out.u16(kCursorType);
    out.u16(static_cast<std::uint16_t>(entries.size()));
    for (const Entry& entry : entries) {
        const CursorImage& image = *entry.image;
        // The directory describes each image by its own header where it can
        // be read, as readers trust the directory for the sizes they list.
        int width = image.width, height = image.height, bitCount = image.png ? 32 : image.bitCount;
        if (auto header = probeIconImage(ByteReader(entry.bytes))) {
            width = header->width;
            height = header->height;
            bitCount = header->bitDepth;
        }
        if (offset + entry.bytes.size() > std::min<std::uint64_t>(0xffffffffu, kMaxCursorFileBytes))
            return std::unexpected(CursorWriteError::TooLarge);
        out.u8(storedSide(width));
        out.u8(storedSide(height));
        out.u8(static_cast<std::uint8_t>(bitCount > 0 && bitCount < 8 ? 1 << bitCount : 0)); // colours
        out.u8(0);
        // Where an icon stores planes and bit count, a cursor stores its hot spot.
        out.u16(static_cast<std::uint16_t>(std::clamp(image.hotspotX, 0, std::max(0, width - 1))));
        out.u16(static_cast<std::uint16_t>(std::clamp(image.hotspotY, 0, std::max(0, height - 1))));
        out.u32(static_cast<std::uint32_t>(entry.bytes.size()));
        out.u32(static_cast<std::uint32_t>(offset));
        offset += entry.bytes.size();
    }
    for (const Entry& entry : entries)
        out.append(entry.bytes);
    return out.take();
}

} // namespace gb
