#include "core/catalogue/file_icons.h"

#include "core/icons/icon_source.h"

#include <new>

namespace gb {

std::vector<FoundIcon> extractFileIcons(const std::string& path, std::stop_token stop, ExtractOptions options)
{
    auto file = FileSource::open(path);
    if (!file)
        return {};
    return extractFileIcons(path, std::move(*file), std::move(stop), options);
}

std::vector<FoundIcon> extractFileIcons(const std::string& path, FileSource file, std::stop_token stop,
                                        ExtractOptions options)
{
    std::vector<FoundIcon> icons;
    // Memory may run out however carefully each reader is bounded; the
    // file then gives the icons drawn so far and the search goes on.
    try {
        auto source = IconSource::open(path, std::move(file), std::move(stop));
        if (source)
            appendSourceIcons(*source, IconOrigin{path, 0, {}}, options, icons);
    } catch (const std::bad_alloc&) {
    }
    return icons;
}

void appendSourceIcons(const IconSource& source, const IconOrigin& origin, ExtractOptions options,
                       std::vector<FoundIcon>& icons)
{
    // A shortcut is one row, the icon it shows; a file, a row per icon.
    const int first = origin.shown ? origin.shown->position : 0;
    const int count = origin.shown ? 1 : source.count();
    icons.reserve(icons.size() + static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto icon = source.icon(first + i, options);
        if (!icon)
            break;
        const std::uint64_t largeHash = contentHash(icon->large), smallHash = contentHash(icon->small);
        std::optional<std::uint64_t> large2xHash;
        if (icon->large2x)
            large2xHash = contentHash(*icon->large2x);
        IconOrigin at = origin;
        at.index = i;
        icons.push_back(FoundIcon{std::move(at), std::move(icon->large), std::move(icon->small), largeHash,
                                  smallHash, std::move(icon->large2x), large2xHash});
    }
}

std::size_t addFileIcons(CatalogueStore& store, std::vector<FoundIcon> icons)
{
    std::size_t added = 0;
    for (FoundIcon& icon : icons) {
        if (!store.add(std::move(icon)))
            break;
        ++added;
    }
    return added;
}

} // namespace gb
