#include "core/icons/ico_directory.h"

#include "core/icons/image_bytes.h"

#include <algorithm>

namespace gb {

namespace {

// ICONDIR: reserved (0), type (1 icon, 2 cursor), count; then 16-byte
// ICONDIRENTRY records whose last two fields are the image size and offset.
constexpr std::uint64_t kIcoHeaderSize = 6;
constexpr std::uint64_t kIcoEntrySize = 16;
constexpr std::uint16_t kTypeIcon = 1;
constexpr std::uint16_t kTypeCursor = 2;

constexpr std::uint8_t kRiff[] = {'R', 'I', 'F', 'F'};
constexpr std::uint8_t kAcon[] = {'A', 'C', 'O', 'N'};
constexpr std::uint8_t kList[] = {'L', 'I', 'S', 'T'};
constexpr std::uint8_t kFram[] = {'f', 'r', 'a', 'm'};
constexpr std::uint8_t kIcon[] = {'i', 'c', 'o', 'n'};
constexpr std::uint64_t kChunkHeaderSize = 8;

int sideOf(std::uint8_t stored)
{
    return stored == 0 ? 256 : stored;
} // 0 means 256

struct Chunk {
    std::uint64_t offset; // of the chunk header
    std::uint64_t body;   // of the body
    std::uint64_t length; // of the body
};

// The chunk with the given id among the chunks of `area`, starting at `from`.
// Each step moves forward by at least a header, so the walk always ends.
// `area` is [areaStart, areaStart + areaLength) of the file.
std::optional<Chunk> findChunk(const SourceReader& file, std::uint64_t areaStart, std::uint64_t areaLength,
                               std::uint64_t from, std::span<const std::uint8_t> id,
                               std::span<const std::uint8_t> listType = {})
{
    const SliceSource slice(file.source(), areaStart, areaLength);
    const SourceReader area(slice);
    std::uint64_t at = from;
    while (area.fits(at, kChunkHeaderSize)) {
        const auto stored = area.u32le(at + 4);
        if (!stored)
            return std::nullopt; // the file shrank since it was opened
        const std::uint64_t size = *stored;
        const std::uint64_t body = at + kChunkHeaderSize;
        // A chunk that claims more than is left is cut at the end of the
        // file rather than dropped: its first frame may well be complete.
        const std::uint64_t length = std::min(size, area.size() - body);
        if (area.startsWith(at, id) && (listType.empty() || area.startsWith(body, listType)))
            return Chunk{areaStart + at, areaStart + body, length};
        at = body + length + (length & 1); // chunks are padded to even sizes
    }
    return std::nullopt;
}

} // namespace

bool looksLikeIcoFile(const SourceReader& file)
{
    const auto reserved = file.u16le(0), type = file.u16le(2), count = file.u16le(4);
    return reserved && type && count && *reserved == 0 && (*type == kTypeIcon || *type == kTypeCursor) &&
           *count > 0;
}

bool looksLikeAniFile(const SourceReader& file)
{
    return file.startsWith(0, kRiff) && file.startsWith(8, kAcon);
}

std::expected<IconGroup, ReadFailure> readIcoFile(const ByteSource& source, ReadBudget* budget)
{
    const SourceReader file(source);
    if (!looksLikeIcoFile(file))
        return std::unexpected(ReadFailure{ReadError::BadMagic, 0});
    const std::uint16_t count = file.u16le(4).value_or(0);
    if (count > kMaxEntriesPerGroup)
        return std::unexpected(ReadFailure{ReadError::TooLarge, 4});
    // The whole directory in one read.
    const auto records = file.bytes(kIcoHeaderSize, count * kIcoEntrySize);
    if (!records)
        return std::unexpected(ReadFailure{ReadError::Truncated, kIcoHeaderSize});
    const ByteReader list(*records);

    IconGroup group;
    group.cursor = file.u16le(2) == kTypeCursor;
    GroupBytes images(budget);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint64_t at = std::uint64_t{i} * kIcoEntrySize;
        GroupEntry entry;
        entry.declaredWidth = sideOf(*list.u8(at));
        entry.declaredHeight = sideOf(*list.u8(at + 1));
        // For cursors these two fields are the hot spot, not planes and depth.
        entry.declaredBitCount = group.cursor ? 0 : *list.u16le(at + 6);
        entry.iconId = i;
        const std::uint32_t size = *list.u32le(at + 8);
        const std::uint32_t offset = *list.u32le(at + 12);
        entry.imageOffset = offset;
        if (const HeldBytes* image = images.hold(file, offset, size)) {
            entry.image = image->bytes;
            group.hold(image->keeper);
        }
        group.entries.push_back(entry);
    }
    return group;
}

std::expected<IconGroup, ReadFailure> readAniFirstFrame(const ByteSource& source, ReadBudget* budget)
{
    const SourceReader file(source);
    if (!looksLikeAniFile(file))
        return std::unexpected(ReadFailure{ReadError::BadMagic, 0});
    // The RIFF form: "RIFF", size, "ACON", then chunks; frames live in a
    // LIST chunk of type "fram" as "icon" chunks, each a whole ICO/CUR file.
    const auto frames = findChunk(file, 0, file.size(), 12, kList, kFram);
    if (!frames)
        return std::unexpected(ReadFailure{ReadError::Missing, 12});
    const auto first = findChunk(file, frames->body, frames->length, 4, kIcon);
    if (!first)
        return std::unexpected(ReadFailure{ReadError::Missing, frames->offset});
    const SliceSource frame(source, first->body, first->length);
    return readIcoFile(frame, budget);
}

} // namespace gb
