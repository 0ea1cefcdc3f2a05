#include "core/cursors/cur_file.h"

#include "core/bytes/source_reader.h"
#include "core/cursors/cursor_image.h"
#include "core/icons/icon_group.h"

namespace gb {

namespace {

// ICONDIR: reserved (0), type (1 icon, 2 cursor), count; then 16-byte
// ICONDIRENTRY records: width, height, colours, reserved, then planes and
// bit count (a cursor's hot spot x and y), bytes and offset.
constexpr std::uint64_t kDirectoryHeaderSize = 6;
constexpr std::uint64_t kEntrySize = 16;
constexpr std::uint64_t kEntryHotspotX = 4;
constexpr std::uint64_t kEntryHotspotY = 6;
constexpr std::uint64_t kEntryBytes = 8;
constexpr std::uint64_t kEntryOffset = 12;
constexpr std::uint16_t kTypeIcon = 1;
constexpr std::uint16_t kTypeCursor = 2;

} // namespace

std::expected<CursorFrame, CursorFailure> readCursorFrame(const ByteSource& source,
                                                          CursorAllowance& allowance)
{
    const SourceReader file(source);
    const auto reserved = file.u16le(0), type = file.u16le(2), count = file.u16le(4);
    if (!reserved || !type || !count)
        return std::unexpected(cursorFailure(ReadError::Truncated, 0, "the icon directory is cut short"));
    if (*reserved != 0 || (*type != kTypeIcon && *type != kTypeCursor))
        return std::unexpected(cursorFailure(ReadError::BadMagic, 0, "not an icon or cursor file"));
    if (*count == 0)
        return std::unexpected(cursorFailure(ReadError::Missing, 4, "the cursor holds no image"));
    if (*count > kMaxEntriesPerGroup)
        return std::unexpected(cursorFailure(ReadError::TooLarge, 4, "the cursor claims too many images"));
    // The count is checked against the bytes there are before anything is kept.
    const auto records = file.bytes(kDirectoryHeaderSize, *count * kEntrySize);
    if (!records)
        return std::unexpected(cursorFailure(ReadError::Truncated, kDirectoryHeaderSize,
                                             "the directory lists more images than the file holds"));
    const ByteReader list(*records);
    const bool cursor = *type == kTypeCursor;

    CursorFrame frame;
    std::optional<ReadFailure> firstProblem;
    for (std::uint16_t i = 0; i < *count; ++i) {
        const std::uint64_t at = std::uint64_t{i} * kEntrySize;
        const std::uint32_t size = *list.u32le(at + kEntryBytes);
        const std::uint32_t offset = *list.u32le(at + kEntryOffset);
        std::optional<std::vector<std::byte>> bytes;
        if (size <= kMaxStoredCursorImage && allowance.affords(size))
            bytes = readRange(source, offset, size);
        if (!bytes) {
            firstProblem = firstProblem.value_or(ReadFailure{ReadError::Truncated, offset, 0});
            continue;
        }
        const ByteReader stored(*bytes);
        auto image = cursor ? makeCursorImage(stored, *list.u16le(at + kEntryHotspotX),
                                              *list.u16le(at + kEntryHotspotY), allowance)
                            : makeCursorImage(stored, HotspotAtCentre{}, allowance);
        if (!image) {
            ReadFailure problem = image.error();
            problem.offset += offset;
            firstProblem = firstProblem.value_or(problem);
            continue;
        }
        frame.images.push_back(std::move(*image));
    }
    if (frame.images.empty())
        return std::unexpected(CursorFailure{*firstProblem, "no image of the cursor can be read"});
    return frame;
}

std::expected<Cursor, CursorFailure> readCurFile(const ByteSource& source)
{
    const SourceReader file(source);
    if (file.u16le(0) != 0 || file.u16le(2) != kTypeCursor)
        return std::unexpected(cursorFailure(ReadError::BadMagic, 0, "not a cursor file"));
    CursorAllowance allowance(source.size());
    auto frame = readCursorFrame(source, allowance);
    if (!frame)
        return std::unexpected(frame.error());
    Cursor cursor;
    cursor.frames.push_back(std::move(*frame));
    cursor.steps = {0};
    cursor.delaysMs = {0};
    return cursor;
}

} // namespace gb
