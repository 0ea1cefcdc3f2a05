#include "core/icons/resource_set.h"

#include "core/icons/image_bytes.h"

#include <algorithm>

namespace gb {

namespace {

// GRPICONDIR: reserved, type, count; then 14-byte GRPICONDIRENTRY records.
constexpr std::uint64_t kGroupHeaderSize = 6;
constexpr std::uint64_t kGroupEntrySize = 14;

int sideOf(std::uint8_t stored)
{
    return stored == 0 ? 256 : stored;
} // 0 means 256

} // namespace

const ResourceBlob* findResourceImage(const std::vector<ResourceBlob>& icons, std::uint16_t id,
                                      std::uint16_t language)
{
    const auto [first, last] = std::ranges::equal_range(icons, id, {}, &ResourceBlob::id);
    if (first == last)
        return nullptr;
    // An image may exist only in another language than its group; Windows
    // then takes any language, so we do too, the group's own first.
    const auto same =
        std::find_if(first, last, [&](const ResourceBlob& b) { return b.language == language; });
    return same != last ? &*same : &*first;
}

IconGroup resolveGroup(const ByteSource& source, const ResourceBlob& group,
                       const std::vector<ResourceBlob>& icons, ReadBudget* budget)
{
    const SourceReader reader(source);
    return resolveGroup(reader, group, icons, budget);
}

IconGroup resolveGroup(const SourceReader& source, const ResourceBlob& group,
                       const std::vector<ResourceBlob>& icons, ReadBudget* budget)
{
    IconGroup result;
    if (!group.data)
        return result;
    // Only as much of the directory as its count of entries can use.
    const auto count = source.u16le(group.data->offset + 4);
    if (!count || group.data->length < kGroupHeaderSize)
        return result;
    const int entries = std::min<int>(*count, kMaxEntriesPerGroup);
    const std::uint64_t used = std::min(
        group.data->length, kGroupHeaderSize + static_cast<std::uint64_t>(entries) * kGroupEntrySize);
    const auto held = holdRange(source, group.data->offset, used, budget);
    if (!held)
        return result; // the file shrank since it was indexed
    result.hold(held->keeper);
    const ByteReader& dir = held->bytes;

    GroupBytes images(budget);
    for (int i = 0; i < entries; ++i) {
        const std::uint64_t at = kGroupHeaderSize + static_cast<std::uint64_t>(i) * kGroupEntrySize;
        if (!dir.fits(at, kGroupEntrySize))
            break; // a directory shorter than its count: keep the entries it has
        GroupEntry entry;
        entry.declaredWidth = sideOf(*dir.u8(at));
        entry.declaredHeight = sideOf(*dir.u8(at + 1));
        entry.declaredBitCount = *dir.u16le(at + 6);
        entry.iconId = *dir.u16le(at + 12);
        if (const ResourceBlob* icon = findResourceImage(icons, entry.iconId, group.language)) {
            entry.imageOffset = icon->offset;
            if (icon->data)
                if (const HeldBytes* image = images.hold(source, icon->data->offset, icon->data->length)) {
                    entry.image = image->bytes;
                    result.hold(image->keeper);
                }
        }
        result.entries.push_back(entry);
    }
    return result;
}

} // namespace gb
