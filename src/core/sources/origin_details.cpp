#include "core/sources/origin_details.h"

#include "core/cursors/cursor_reader.h"
#include "core/sources/source_producer.h"

namespace gb {

std::expected<IconDetails, SourceFailure> readOriginDetails(const IconOrigin& origin,
                                                            const std::stop_token& stop)
{
    const auto source = openOrigin(origin, {}, stop);
    if (!source)
        return std::unexpected(source.error());
    auto details = readIconDetails(*source, origin.sourcePosition(), stop);
    if (!details)
        return std::unexpected(SourceFailure::of(details.error()));
    return std::move(*details);
}

OriginDetails readOriginDetailsWithCursor(const IconOrigin& origin, const std::stop_token& stop)
{
    const auto source = openOrigin(origin, {}, stop);
    if (!source)
        return {std::unexpected(source.error()), std::nullopt};
    auto details = readIconDetails(*source, origin.sourcePosition(), stop);
    if (!details)
        return {std::unexpected(SourceFailure::of(details.error())), std::nullopt};
    OriginDetails found{std::move(*details), std::nullopt};
    if (!stop.stop_requested())
        found.cursor = readCursorFile(source->bytes());
    return found;
}

} // namespace gb
