#pragma once
// An icon group as a file stores it: the list of images (sizes and colour
// depths of one icon), each with the bytes of its image when the file holds
// them. PE, NE, ICO/CUR and ANI files all end up in this one form.

#include "core/bytes/byte_reader.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace gb {

struct GroupEntry {
    // What the group directory claims. Often wrong in real files; the
    // choice of entry trusts the image's own header instead.
    int declaredWidth = 0;  // a stored 0 means 256
    int declaredHeight = 0; // a stored 0 means 256
    int declaredBitCount = 0;
    std::uint16_t iconId = 0;        // RT_ICON id (PE, NE); position in an ICO file
    std::optional<ByteReader> image; // none when the file lacks the image
    std::uint64_t imageOffset = 0;   // where the image starts in the file

    // Where the image lies in the file and how many bytes it keeps: entries
    // that name one stored image share it, and it is read, decoded and
    // written once for all of them.
    std::pair<std::uint64_t, std::uint64_t> place() const { return {imageOffset, image ? image->size() : 0}; }
};

class DecodeMemo;

struct IconGroup {
    std::vector<GroupEntry> entries;
    bool cursor = false; // entries are cursor images (CUR, ANI): a hot spot precedes them in PE
    // What keeps the bytes the entries' images point into alive (the whole
    // file read into memory, or the ranges read from it), so a group
    // outlives the source it came from. Empty when the caller keeps the
    // bytes alive.
    std::vector<std::shared_ptr<const void>> held;
    // The drawings of the file's images, shared by its groups; none for a
    // group read on its own.
    std::shared_ptr<DecodeMemo> memo;

    // Keeps `keeper` with the group (once, however many entries share it).
    void hold(std::shared_ptr<const void> keeper)
    {
        if (keeper && (held.empty() || held.back() != keeper))
            held.push_back(std::move(keeper));
    }
};

// Group directories hold at most 65535 entries; real ones hold a few dozen.
// The cap bounds the work a hostile file can cause per icon.
inline constexpr int kMaxEntriesPerGroup = 1024;

// Bytes one group may copy out of a file for its images: several 1024x1024
// images with room to spare. Entries past it are left without their image.
inline constexpr std::uint64_t kMaxGroupBytes = 64ull << 20;

} // namespace gb
