#include "platform/icons/icon_source.h"

#include "platform/icons/entry_choice.h"
#include "platform/icons/ico_directory.h"
#include "platform/icons/ne_resources.h"
#include "platform/icons/pe_resources.h"
#include "platform/icons/resample.h"

namespace gb {

std::string EntryInfo::label() const
{
    if (!found)
        return "none";
    return std::to_string(header.width) + "x" + std::to_string(header.height) + "@" +
           (header.png ? std::string("png") : std::to_string(header.bitDepth));
}

RgbaImage renderGroup(const IconGroup& group, int size, EntryInfo* chosen)
{
    std::vector<std::optional<ImageHeader>> headers;
    headers.reserve(group.entries.size());
    for (const GroupEntry& entry : group.entries) {
        std::optional<ImageHeader> header;
        if (entry.image)
            if (auto probed = probeIconImage(*entry.image))
                header = *probed;
        headers.push_back(header);
    }

    EntryInfo info;
    RgbaImage image(size, size); // fully transparent unless an entry draws
    if (const auto index = chooseEntry(headers, size)) {
        if (auto decoded = decodeIconImage(*group.entries[*index].image)) {
            info.found = true;
            info.header = *headers[*index];
            image = resampleImage(*decoded, size, size);
        }
    }
    if (chosen != nullptr)
        *chosen = info;
    return image;
}

ExtractedIcon extractIcon(const IconGroup& group)
{
    ExtractedIcon icon;
    icon.large = renderGroup(group, kLargeIconSize, &icon.largeEntry);
    icon.small = renderGroup(group, kSmallIconSize, &icon.smallEntry);
    return icon;
}

std::expected<IconSource, ReadFailure> IconSource::open(const std::string& path)
{
    auto file = MappedFile::open(path);
    if (!file)
        return std::unexpected(file.error());
    IconSource source;
    source.file_ = std::move(*file);
    source.bytes_ = source.file_.reader();
    source.index();
    return source;
}

IconSource IconSource::fromBytes(ByteReader bytes)
{
    IconSource source;
    source.bytes_ = bytes;
    source.index();
    return source;
}

void IconSource::index()
{
    // By content, never by name: the extension of a Windows file says
    // little (.mun, .icl, .scr, .ocx are all PE files).
    const auto keep = [this](auto parsed) {
        if (parsed)
            content_ = std::move(*parsed);
        else
            problem_ = parsed.error();
    };
    if (looksLikePe(bytes_))
        keep(readPeResources(bytes_));
    else if (looksLikeNe(bytes_))
        keep(readNeResources(bytes_));
    else if (looksLikeIcoFile(bytes_))
        keep(readIcoFile(bytes_));
    else if (looksLikeAniFile(bytes_))
        keep(readAniFirstFrame(bytes_));
    // Anything else is simply not an icon source: no icons, no problem.
}

int IconSource::count() const
{
    if (const auto* set = std::get_if<ResourceSet>(&content_))
        return static_cast<int>(set->groups.size());
    return std::holds_alternative<IconGroup>(content_) ? 1 : 0;
}

std::expected<IconGroup, ReadFailure> IconSource::group(int index) const
{
    if (index < 0 || index >= count())
        return std::unexpected(ReadFailure{ReadError::OutOfRange, 0});
    if (const auto* set = std::get_if<ResourceSet>(&content_))
        return resolveGroup(set->groups[static_cast<std::size_t>(index)], set->icons);
    return std::get<IconGroup>(content_);
}

std::expected<ExtractedIcon, ReadFailure> IconSource::icon(int index) const
{
    auto g = group(index);
    if (!g)
        return std::unexpected(g.error());
    return extractIcon(*g);
}

} // namespace gb
