#include "core/sources/shortcut_source.h"

#include "core/wine/shortcut_icon.h"

#include <utility>

namespace gb {

std::optional<ProducedSource> shortcutSource(const std::string& path, const ByteSource& file,
                                             std::stop_token stop)
{
    const auto link = readShortcut(file);
    if (link && !*link)
        return std::nullopt;
    ProducedSource produced{IconOrigin{path, 0}, std::unexpected(SourceFailure{})};
    if (!link) {
        produced.source = std::unexpected(SourceFailure::of(link.error()));
        return produced;
    }
    const auto choice = shortcutIcon(**link, shortcutPaths(path, std::nullopt, /*confined=*/true));
    if (!choice) {
        produced.source = std::unexpected(SourceFailure::of(choice.error()));
        return produced;
    }
    auto source = IconSource::open(choice->file, std::move(stop));
    if (!source) {
        produced.source = std::unexpected(SourceFailure::of(source.error()));
        return produced;
    }
    if (source->problem()) {
        produced.source = std::unexpected(SourceFailure::of(*source->problem()));
        return produced;
    }
    const auto position = iconPosition(*source, choice->index);
    if (!position) {
        // As a file read again that no longer holds the icon asked for.
        ReadFailure none{ReadError::OutOfRange, 0, 0};
        SourceFailure failure = SourceFailure::of(none);
        failure.detail = choice->file + ": no icon of index " + std::to_string(choice->index);
        produced.source = std::unexpected(std::move(failure));
        return produced;
    }
    produced.origin.showIcon(ShownIcon{choice->file, *position});
    produced.source = std::move(*source);
    return produced;
}

} // namespace gb
