#pragma once
// The icon resources of an executable (PE or NE): the icon groups in the
// order in which Windows enumerates them, and every icon image with its id
// and language, so a group can find its images; and, when asked for, its
// cursor resources in the same form.

#include "core/bytes/read_error.h"
#include "core/bytes/source_reader.h"
#include "core/icons/icon_group.h"

#include <cstdint>
#include <expected>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace gb {

// Where a resource's bytes lie in the file; they are read when needed.
struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct ResourceBlob {
    std::uint16_t id = 0;          // numeric id; 0 for a named resource
    std::string name;              // a named resource's name, UTF-8; empty for a numbered one
    std::uint16_t language = 0;    // LANGID of the leaf (PE); 0 for NE
    std::optional<ByteRange> data; // none when the directory points outside the file
    std::uint64_t offset = 0;      // file offset of the data (or of the bad entry)
};

struct ResourceSet {
    std::vector<ResourceBlob> groups;    // RT_GROUP_ICON in enumeration order
    std::vector<ResourceBlob> icons;     // RT_ICON: every leaf, sorted by id, languages in directory order
    std::optional<ResourceBlob> version; // RT_VERSION: VS_VERSION_INFO (id 1) else the first, first language
    // Read only when ReadControl::cursors asks for them, each type in the
    // order of the icon groups (PE: named first, then ids ascending; NE:
    // table order).
    std::vector<ResourceBlob> cursorGroups;    // RT_GROUP_CURSOR
    std::vector<ResourceBlob> cursorImages;    // RT_CURSOR: every leaf, sorted by id
    std::vector<ResourceBlob> animatedCursors; // RT_ANICURSOR: RIFF ACON data (PE only)
    std::vector<ResourceBlob> animatedIcons;   // RT_ANIICON: RIFF ACON data (PE only)
};

// What the caller of a reader controls: abandoning it midway, and (for
// tests) counting the directory entries it read.
struct ReadControl {
    std::stop_token stop;             // when stop is requested, the reader gives up with Cancelled
    std::uint64_t* visited = nullptr; // when set, counts the directory entries read
    bool cursors = false;             // also read the cursor resources (left out of icon work)
};

// RT_ICON / RT_GROUP_ICON as resource type ids.
inline constexpr std::uint16_t kRtIcon = 3;
inline constexpr std::uint16_t kRtGroupIcon = 14;
inline constexpr std::uint16_t kRtVersion = 16;
// RT_CURSOR, RT_GROUP_CURSOR, RT_ANICURSOR and RT_ANIICON.
inline constexpr std::uint16_t kRtCursor = 1;
inline constexpr std::uint16_t kRtGroupCursor = 12;
inline constexpr std::uint16_t kRtAniCursor = 21;
inline constexpr std::uint16_t kRtAniIcon = 22;

// The image with this id among `icons` (icon or cursor images, sorted by id), as Windows finds a
// group's images: the group's own language first, else any language.
const ResourceBlob* findResourceImage(const std::vector<ResourceBlob>& icons, std::uint16_t id,
                                      std::uint16_t language);

// Parses a group directory (GRPICONDIR, the same in PE and NE) and finds each
// entry's image: the same language as the group first, else any language.
// The bytes are read from `source`, within `budget` when one is given.
IconGroup resolveGroup(const ByteSource& source, const ResourceBlob& group,
                       const std::vector<ResourceBlob>& icons, ReadBudget* budget = nullptr);
// The same through a reader whose block cache serves neighbouring images.
IconGroup resolveGroup(const SourceReader& source, const ResourceBlob& group,
                       const std::vector<ResourceBlob>& icons, ReadBudget* budget = nullptr);

} // namespace gb
