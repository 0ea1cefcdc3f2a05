#pragma once
// The details of one catalogued icon, read again from where it came: its
// file, or its member inside containers. What the details window shows.

#include "core/catalogue/icon_origin.h"
#include "core/cursors/cursor.h"
#include "core/cursors/cursor_failure.h"
#include "core/icons/icon_details.h"
#include "core/sources/source_failure.h"

#include <expected>
#include <optional>
#include <stop_token>

namespace gb {

// Fails as openOrigin does (the file gone, the member gone or skipped, with
// the container's reason), or as readIconDetails does (no longer holding
// that icon, Cancelled once `stop` is requested).
std::expected<IconDetails, SourceFailure> readOriginDetails(const IconOrigin& origin,
                                                            const std::stop_token& stop = {});

// The same, read once, with the cursor a cursor file (.cur, .ani: by its
// content) holds besides: its hot spots, frames and rates, which an icon's
// details do not keep. None for any other file; a cursor that cannot be
// read as one (an animation whose steps name a frame it lacks) keeps its
// reason, and its first frame's details are still shown as an icon's.
struct OriginDetails {
    std::expected<IconDetails, SourceFailure> details;
    std::optional<std::expected<Cursor, CursorFailure>> cursor;
};
OriginDetails readOriginDetailsWithCursor(const IconOrigin& origin, const std::stop_token& stop = {});

} // namespace gb
