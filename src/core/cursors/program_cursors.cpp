#include "core/cursors/program_cursors.h"

#include "core/bytes/source_reader.h"
#include "core/cursors/ani_file.h"
#include "core/cursors/cursor_image.h"
#include "core/icons/icon_group.h"

#include <algorithm>

namespace gb {

namespace {

// CURSORDIR: reserved, type (2), count; then 14-byte entries: width and
// height (stored doubled, as a DIB counts its mask), planes, bit count,
// bytes in the resource, and the RT_CURSOR id.
constexpr std::uint64_t kGroupHeaderSize = 6;
constexpr std::uint64_t kGroupEntrySize = 14;
constexpr std::uint64_t kGroupEntryId = 12;
// An RT_CURSOR image: the hot spot's x and y, then the image.
constexpr std::uint64_t kHotspotSize = 4;

std::expected<Cursor, CursorFailure> readAnimated(const ByteSource& source, const ResourceBlob& blob,
                                                  CursorAllowance& allowance)
{
    if (!blob.data)
        return std::unexpected(
            cursorFailure(ReadError::Truncated, blob.offset, "the resource lies outside the file"));
    const SliceSource data(source, blob.data->offset, blob.data->length);
    auto cursor = readAniFile(data, allowance);
    if (!cursor) {
        CursorFailure failure = cursor.error();
        failure.read.offset += blob.data->offset;
        return std::unexpected(std::move(failure));
    }
    return cursor;
}

} // namespace

std::expected<Cursor, CursorFailure> readCursorGroup(const ByteSource& source, const ResourceBlob& group,
                                                     const std::vector<ResourceBlob>& images,
                                                     CursorAllowance& allowance)
{
    if (!group.data)
        return std::unexpected(
            cursorFailure(ReadError::Truncated, group.offset, "the group lies outside the file"));
    const SourceReader file(source);
    const std::uint64_t start = group.data->offset;
    const auto count = file.u16le(start + 4);
    if (!count || group.data->length < kGroupHeaderSize)
        return std::unexpected(cursorFailure(ReadError::Truncated, start, "the cursor group is cut short"));
    // Only the entries the group's bytes hold, and never more than a group may have.
    const std::uint64_t held = (group.data->length - kGroupHeaderSize) / kGroupEntrySize;
    const std::uint64_t entries =
        std::min(std::min(std::uint64_t{*count}, held), std::uint64_t{kMaxEntriesPerGroup});

    Cursor cursor;
    CursorFrame frame;
    std::optional<CursorFailure> firstProblem;
    for (std::uint64_t i = 0; i < entries; ++i) {
        const std::uint64_t at = start + kGroupHeaderSize + i * kGroupEntrySize;
        const auto id = file.u16le(at + kGroupEntryId);
        const ResourceBlob* image = id ? findResourceImage(images, *id, group.language) : nullptr;
        if (image == nullptr || !image->data || image->data->length < kHotspotSize) {
            if (!firstProblem)
                firstProblem =
                    cursorFailure(ReadError::Missing, at, "the group names a cursor image the file lacks");
            continue;
        }
        if (image->data->length - kHotspotSize > kMaxStoredCursorImage ||
            !allowance.affords(image->data->length)) {
            if (!firstProblem)
                firstProblem = cursorFailure(ReadError::TooLarge, image->data->offset,
                                             "the cursor images claim more than the file can hold");
            continue;
        }
        const auto bytes = readRange(source, image->data->offset, image->data->length);
        if (!bytes) {
            firstProblem = firstProblem.value_or(cursorFailure(ReadError::Truncated, image->data->offset));
            continue;
        }
        const ByteReader resource(*bytes);
        const auto stored = resource.sub(kHotspotSize, resource.size() - kHotspotSize);
        auto made = makeCursorImage(*stored, *resource.u16le(0), *resource.u16le(2), allowance);
        if (!made) {
            ReadFailure problem = made.error();
            problem.offset += image->data->offset + kHotspotSize;
            firstProblem = firstProblem.value_or(CursorFailure{problem, {}});
            continue;
        }
        frame.images.push_back(std::move(*made));
    }
    if (frame.images.empty()) {
        CursorFailure failure = firstProblem.value_or(
            cursorFailure(ReadError::Missing, start, "the cursor group lists no image"));
        if (failure.reason.empty())
            failure.reason = "no image of the cursor can be read";
        return std::unexpected(std::move(failure));
    }
    cursor.frames.push_back(std::move(frame));
    cursor.steps = {0};
    cursor.delaysMs = {0};
    return cursor;
}

std::vector<ProgramCursor> programCursors(const ByteSource& source, const ResourceSet& resources)
{
    std::vector<ProgramCursor> cursors;
    cursors.reserve(resources.cursorGroups.size() + resources.animatedCursors.size() +
                    resources.animatedIcons.size());
    CursorAllowance allowance(source.size());
    for (const ResourceBlob& group : resources.cursorGroups)
        cursors.push_back(
            {group, kRtGroupCursor, readCursorGroup(source, group, resources.cursorImages, allowance)});
    for (const ResourceBlob& blob : resources.animatedCursors)
        cursors.push_back({blob, kRtAniCursor, readAnimated(source, blob, allowance)});
    for (const ResourceBlob& blob : resources.animatedIcons)
        cursors.push_back({blob, kRtAniIcon, readAnimated(source, blob, allowance)});
    return cursors;
}

} // namespace gb
