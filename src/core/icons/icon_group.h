#pragma once
// An icon group as a file stores it: the list of images (sizes and colour
// depths of one icon), each with the bytes of its image when the file holds
// them. PE, NE, ICO/CUR and ANI files all end up in this one form.

#include "core/bytes/byte_reader.h"

#include <cstdint>
#include <memory>
#include <optional>
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
};

struct IconGroup {
    std::vector<GroupEntry> entries;
    bool cursor = false; // entries are cursor images (CUR, ANI): a hot spot precedes them in PE
    // The bytes read from a file that the entries' images point into; empty
    // when the images point into memory the source keeps.
    std::vector<std::shared_ptr<const std::vector<std::byte>>> held;
};

// Group directories hold at most 65535 entries; real ones hold a few dozen.
// The cap bounds the work a hostile file can cause per icon.
inline constexpr int kMaxEntriesPerGroup = 1024;

} // namespace gb
