#include "core/sources/origin_details.h"

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

} // namespace gb
