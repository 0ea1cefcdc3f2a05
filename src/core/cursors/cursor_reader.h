#pragma once
// The cursors of one file, found by its content and never by its name: a
// .cur file is one cursor, an .ani file one animated cursor, a PE or NE
// program holds its cursor resources (see program_cursors.h). An icon file
// and anything else hold none.

#include "core/bytes/byte_source.h"
#include "core/cursors/cursor.h"
#include "core/cursors/cursor_failure.h"
#include "core/icons/resource_set.h"

#include <expected>
#include <optional>
#include <vector>

namespace gb {

struct FoundCursor {
    // The resource it comes from in a program; none for a cursor file.
    std::optional<ResourceBlob> resource;
    std::uint16_t resourceType = 0; // kRtGroupCursor, kRtAniCursor or kRtAniIcon; 0 for a file
    std::expected<Cursor, CursorFailure> cursor;
};

// The cursors in order; a file whose structure is broken (a PE whose
// resource directory cannot be read) is a failure. One cursor that cannot
// be read keeps its place with its reason, so the others keep their numbers.
std::expected<std::vector<FoundCursor>, CursorFailure> readCursors(const ByteSource& source,
                                                                   const ReadControl& control = {});

// The cursor of a cursor file (.cur or .ani, by its content); nullopt for
// anything else, a program's cursor resources included. Cheap on a file
// that is none: its first bytes tell.
std::optional<std::expected<Cursor, CursorFailure>> readCursorFile(const ByteSource& source);

} // namespace gb
