#include "core/icons/ne_resources.h"
#include "core/icons/mz_header.h"
#include "core/text/ansi_text.h"

#include <algorithm>

// Layout from the NE (segmented executable) format documentation: the
// resource table starts with an alignment shift, then TYPEINFO records each
// followed by their NAMEINFO records, ended by a zero type id.

namespace gb {

namespace {

constexpr std::uint8_t kNeSignature[] = {'N', 'E'};
constexpr std::uint64_t kResourceTableField = 0x24; // from the NE header
constexpr std::uint64_t kTypeInfoSize = 8;
constexpr std::uint64_t kNameInfoSize = 12;
constexpr std::uint16_t kIntegerId = 0x8000;

// Offsets are 16-bit values shifted left; real files use shifts of 4 to 9.
// Anything past 24 would place data beyond 1 TiB.
constexpr std::uint16_t kMaxAlignShift = 24;

// Bytes of resource names read per file. Every named group of a hostile
// file may point at one 255-byte string; real names are short, and all of
// them together fit in the file.
constexpr std::uint64_t kMinNameBytes = 1 << 16;

std::optional<std::uint64_t> neHeaderOffset(const SourceReader& file)
{
    return newHeaderOffset(file, kNeSignature);
}

// A named resource's name: a length byte, then that many bytes of text,
// at an offset from the start of the resource table. Empty when it lies
// outside the file or the allowance is used up.
std::string resourceName(const SourceReader& file, std::uint64_t table, std::uint16_t offset,
                         std::uint64_t& bytesLeft)
{
    const auto length = file.u8(table + offset);
    if (!length || *length > bytesLeft)
        return {};
    const auto text = file.bytes(table + offset + 1, *length);
    if (!text)
        return {};
    bytesLeft -= *length;
    return utf8FromWindows1252(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
}

} // namespace

bool looksLikeNe(const SourceReader& file)
{
    return neHeaderOffset(file).has_value();
}

std::expected<ResourceSet, ReadFailure> readNeResources(const ByteSource& source, const ReadControl& control)
{
    const SourceReader file(source);
    return readNeResources(file, control);
}

std::expected<ResourceSet, ReadFailure> readNeResources(const SourceReader& file, const ReadControl& control)
{
    const auto ne = neHeaderOffset(file);
    if (!ne)
        return std::unexpected(ReadFailure{ReadError::BadMagic, 0});
    const auto tableField = file.u16le(*ne + kResourceTableField);
    if (!tableField)
        return std::unexpected(ReadFailure{ReadError::Truncated, *ne});

    ResourceSet set;
    const std::uint64_t table = *ne + *tableField;
    const auto shift = file.u16le(table);
    if (!shift)
        return std::unexpected(ReadFailure{ReadError::Truncated, table});
    if (*shift > kMaxAlignShift)
        return std::unexpected(ReadFailure{ReadError::TooLarge, table});

    std::uint64_t nameBytesLeft = std::max(kMinNameBytes, file.size());
    // Every record moves the cursor forward, so the walk ends within the file.
    std::uint64_t cursor = table + 2;
    for (;;) {
        const auto typeId = file.u16le(cursor);
        if (!typeId)
            return std::unexpected(ReadFailure{ReadError::Truncated, cursor});
        if (*typeId == 0)
            break;
        const auto count = file.u16le(cursor + 2);
        if (!count)
            return std::unexpected(ReadFailure{ReadError::Truncated, cursor});
        const std::uint64_t names = cursor + kTypeInfoSize;
        if (!file.fits(names, *count * kNameInfoSize))
            return std::unexpected(ReadFailure{ReadError::Truncated, names});
        cursor = names + *count * kNameInfoSize;
        if (control.stop.stop_requested())
            return std::unexpected(ReadFailure{ReadError::Cancelled, names});

        const bool isIcon = *typeId == (kIntegerId | kRtIcon);
        const bool isGroup = *typeId == (kIntegerId | kRtGroupIcon);
        // Cursors only when asked for, kept apart from the icons.
        const bool isCursor = control.cursors && *typeId == (kIntegerId | kRtCursor);
        const bool isCursorGroup = control.cursors && *typeId == (kIntegerId | kRtGroupCursor);
        if (!isIcon && !isGroup && !isCursor && !isCursorGroup)
            continue;
        std::vector<ResourceBlob>& images = isCursor || isCursorGroup ? set.cursorImages : set.icons;
        std::vector<ResourceBlob>& groups = isCursor || isCursorGroup ? set.cursorGroups : set.groups;
        // The records of one type in one read.
        const auto records = file.bytes(names, *count * kNameInfoSize);
        if (!records)
            return std::unexpected(ReadFailure{ReadError::Truncated, names});
        const ByteReader list(*records);
        for (std::uint16_t i = 0; i < *count; ++i) {
            if (control.visited != nullptr)
                ++*control.visited;
            const std::uint64_t at = std::uint64_t{i} * kNameInfoSize;
            const std::uint64_t offset = std::uint64_t{*list.u16le(at)} << *shift;
            const std::uint64_t length = std::uint64_t{*list.u16le(at + 2)} << *shift;
            const std::uint16_t id = *list.u16le(at + 6);
            ResourceBlob blob;
            blob.offset = offset;
            // Lengths are rounded up to the alignment, so the last resource
            // may claim bytes past the end of the file; keep what is there.
            if (offset < file.size())
                blob.data = ByteRange{offset, std::min(length, file.size() - offset)};
            const bool integer = (id & kIntegerId) != 0;
            blob.id = integer ? static_cast<std::uint16_t>(id & ~kIntegerId) : 0;
            if (isIcon || isCursor) {
                if (integer)
                    images.push_back(blob);
            } else {
                if (!integer)
                    blob.name = resourceName(file, table, id, nameBytesLeft);
                groups.push_back(std::move(blob));
            }
        }
    }

    // Groups stay in table order, named and numbered mixed as stored; images
    // are looked up by id.
    std::ranges::stable_sort(set.icons, {}, &ResourceBlob::id);
    std::ranges::stable_sort(set.cursorImages, {}, &ResourceBlob::id);
    return set;
}

} // namespace gb
