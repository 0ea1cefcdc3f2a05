#pragma once
// The cursors of a PE or NE program: its cursor groups (RT_GROUP_CURSOR,
// whose entries name RT_CURSOR images: a hot spot of two WORDs, then the
// DIB or PNG), then its animated cursors (RT_ANICURSOR) and animated icons
// (RT_ANIICON), each type in the order Windows enumerates it.

#include "core/bytes/byte_source.h"
#include "core/cursors/cursor.h"
#include "core/cursors/cursor_failure.h"
#include "core/cursors/cursor_image.h"
#include "core/icons/resource_set.h"

#include <expected>
#include <vector>

namespace gb {

struct ProgramCursor {
    ResourceBlob resource;
    std::uint16_t type = kRtGroupCursor; // kRtGroupCursor, kRtAniCursor or kRtAniIcon
    std::expected<Cursor, CursorFailure> cursor;
};

// `resources` as read with ReadControl::cursors. What their images may
// cost is bounded for the whole file, however many groups name them.
std::vector<ProgramCursor> programCursors(const ByteSource& source, const ResourceSet& resources);

// One cursor group and its images.
std::expected<Cursor, CursorFailure> readCursorGroup(const ByteSource& source, const ResourceBlob& group,
                                                     const std::vector<ResourceBlob>& images,
                                                     CursorAllowance& allowance);

} // namespace gb
