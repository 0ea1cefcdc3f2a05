#include "core/cursors/cursor_reader.h"

#include "core/bytes/source_reader.h"
#include "core/cursors/ani_file.h"
#include "core/cursors/cur_file.h"
#include "core/cursors/program_cursors.h"
#include "core/icons/ico_directory.h"
#include "core/icons/ne_resources.h"
#include "core/icons/pe_resources.h"

namespace gb {

namespace {

constexpr std::uint16_t kTypeCursor = 2;

std::expected<std::vector<FoundCursor>, CursorFailure>
fromResources(const ByteSource& source, const std::expected<ResourceSet, ReadFailure>& resources)
{
    if (!resources)
        return std::unexpected(CursorFailure{resources.error(), {}});
    std::vector<FoundCursor> found;
    for (ProgramCursor& cursor : programCursors(source, *resources))
        found.push_back(FoundCursor{std::move(cursor.resource), cursor.type, std::move(cursor.cursor)});
    return found;
}

} // namespace

std::expected<std::vector<FoundCursor>, CursorFailure> readCursors(const ByteSource& source,
                                                                   const ReadControl& control)
{
    const SourceReader file(source);
    ReadControl withCursors{control.stop, control.visited, true};
    if (looksLikeAniFile(file))
        return std::vector<FoundCursor>{{std::nullopt, 0, readAniFile(source)}};
    if (looksLikeIcoFile(file)) {
        if (file.u16le(2) != kTypeCursor)
            return std::vector<FoundCursor>{}; // an icon file
        return std::vector<FoundCursor>{{std::nullopt, 0, readCurFile(source)}};
    }
    if (looksLikePe(file))
        return fromResources(source, readPeResources(file, withCursors));
    if (looksLikeNe(file))
        return fromResources(source, readNeResources(file, withCursors));
    return std::unexpected(CursorFailure{ReadFailure{ReadError::NotIconSource, 0, 0}, {}});
}

std::optional<std::expected<Cursor, CursorFailure>> readCursorFile(const ByteSource& source)
{
    const SourceReader file(source);
    if (looksLikeAniFile(file))
        return readAniFile(source);
    if (looksLikeIcoFile(file) && file.u16le(2) == kTypeCursor)
        return readCurFile(source);
    return std::nullopt;
}

} // namespace gb
