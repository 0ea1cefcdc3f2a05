#include "core/icons/icon_source.h"

#include "core/bytes/file_source.h"
#include "core/bytes/source_reader.h"
#include "core/icons/entry_choice.h"
#include "core/icons/ico_directory.h"
#include "core/icons/ne_resources.h"
#include "core/icons/pe_resources.h"
#include "core/icons/resample.h"
#include "core/icons/system_resources.h"

namespace gb {

namespace {

// Bytes an IconSource may copy out of a large file over its life. Every
// icon's images together fit in the file, so a caller may draw each icon a
// few times over; a hostile directory that points every entry at the same
// megabytes stops at this bound.
constexpr std::uint64_t kReadsPerFileByte = 8;

} // namespace

std::string EntryInfo::label() const
{
    if (!found)
        return "none";
    return std::to_string(header.width) + "x" + std::to_string(header.height) + "@" +
           (header.png ? std::string("png") : std::to_string(header.bitDepth));
}

std::vector<std::optional<ImageHeader>> probeGroupEntries(const IconGroup& group)
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
    return headers;
}

namespace {

// An entry drawn at size x size, through the file's memo when the group
// has one.
std::optional<RgbaImage> drawEntry(const IconGroup& group, const GroupEntry& entry, int size)
{
    if (group.memo)
        return group.memo->draw(entry, size);
    auto decoded = decodeIconImage(*entry.image);
    if (!decoded)
        return std::nullopt;
    return resampleImage(*decoded, size, size);
}

bool sameImage(const GroupEntry& a, const GroupEntry& b)
{
    return a.image && b.image && a.place() == b.place();
}

} // namespace

RgbaImage renderGroup(const IconGroup& group, int size, EntryInfo* chosen)
{
    std::vector<std::optional<ImageHeader>> headers = probeGroupEntries(group);

    EntryInfo info;
    RgbaImage image(size, size); // fully transparent unless an entry draws
    // An entry whose header reads well may still fail to decode (cut short
    // after its header, say); it then takes no part, nor do the entries
    // naming the same image, and the next best entry is drawn. Each round
    // drops at least one entry, so this ends.
    while (const auto index = chooseEntry(headers, size)) {
        const GroupEntry& entry = group.entries[*index];
        if (auto drawn = drawEntry(group, entry, size)) {
            info.found = true;
            info.header = *headers[*index];
            info.entry = *index;
            image = std::move(*drawn);
            break;
        }
        for (std::size_t i = 0; i < headers.size(); ++i)
            if (sameImage(group.entries[i], entry))
                headers[i].reset();
        headers[*index].reset();
    }
    if (chosen != nullptr)
        *chosen = info;
    return image;
}

ExtractedIcon extractIcon(const IconGroup& group, ExtractOptions options)
{
    ExtractedIcon icon;
    icon.large = renderGroup(group, kLargeIconSize, &icon.largeEntry);
    icon.small = renderGroup(group, kSmallIconSize, &icon.smallEntry);
    if (options.hiDpi) {
        RgbaImage drawn = renderGroup(group, kLargeIconSize2x, &icon.large2xEntry);
        const ImageHeader& chosen = icon.large2xEntry.header;
        const bool enlargedLarge = chosen == icon.largeEntry.header && chosen.width <= kLargeIconSize &&
                                   chosen.height <= kLargeIconSize;
        if (icon.large2xEntry.found && !enlargedLarge)
            icon.large2x = std::move(drawn);
    }
    return icon;
}

std::expected<IconSource, ReadFailure> IconSource::open(const std::string& path, std::stop_token stop)
{
    auto file = FileSource::open(path);
    if (!file)
        return std::unexpected(file.error());
    return open(path, std::move(*file), std::move(stop));
}

std::expected<IconSource, ReadFailure> IconSource::open(const std::string& path, FileSource file,
                                                        std::stop_token stop)
{
    auto source = open(std::move(file), stop);
    if (!source || source->count() > 0 || !std::holds_alternative<ResourceSet>(source->content_))
        return source;
    const auto mun = systemResourcesFile(path);
    if (!mun)
        return source;
    auto munFile = FileSource::open(*mun);
    if (!munFile)
        return source;
    auto redirected = open(std::move(*munFile), std::move(stop));
    if (!redirected || redirected->count() == 0)
        return source;
    return redirected;
}

std::expected<IconSource, ReadFailure> IconSource::open(FileSource file, std::stop_token stop)
{
    IconSource source;
    source.stop_ = std::move(stop);
    const bool small = file.size() <= kWholeReadLimit;
    source.budget_.left = file.size() * kReadsPerFileByte;
    auto owned = std::make_unique<FileSource>(std::move(file));
    FileSource& opened = *owned;
    source.source_ = std::move(owned);
    source.index();
    if (small && std::holds_alternative<ResourceSet>(source.content_) && source.count() > 0)
        source.readWhole(opened);
    return source;
}

// The index holds offsets only, so it stays true of the bytes read now.
void IconSource::readWhole(FileSource& file)
{
    // What is there, should it have shrunk; shared with the groups read
    // from it, which may outlive this source.
    auto whole = std::make_shared<const std::vector<std::byte>>(file.readAll());
    reader_.reset();
    source_ = std::make_unique<MemorySource>(std::move(whole));
    reader_ = std::make_unique<SourceReader>(*source_);
    budget_.left = 0; // bytes in memory are shared, never copied
}

IconSource IconSource::fromBytes(ByteReader bytes)
{
    return fromSource(std::make_unique<MemorySource>(bytes));
}

IconSource IconSource::fromSource(std::unique_ptr<ByteSource> source, std::stop_token stop)
{
    IconSource result;
    result.budget_.left = source->size() * kReadsPerFileByte;
    result.source_ = std::move(source);
    result.stop_ = std::move(stop);
    result.index();
    return result;
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
    const ReadControl control{stop_};
    memo_ = std::make_shared<DecodeMemo>(DecodeMemo::budgetFor(source_->size()));
    reader_ = std::make_unique<SourceReader>(*source_);
    const SourceReader& probe = *reader_;
    if (looksLikePe(probe))
        keep(readPeResources(probe, control));
    else if (looksLikeNe(probe))
        keep(readNeResources(probe, control));
    else if (looksLikeIcoFile(probe))
        keep(readIcoFile(*source_, &budget_));
    else if (looksLikeAniFile(probe))
        keep(readAniFirstFrame(*source_, &budget_));
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
    if (stop_.stop_requested())
        return std::unexpected(ReadFailure{ReadError::Cancelled, 0});
    IconGroup result;
    if (const auto* set = std::get_if<ResourceSet>(&content_))
        result = resolveGroup(*reader_, set->groups[static_cast<std::size_t>(index)], set->icons, &budget_);
    else
        result = std::get<IconGroup>(content_);
    result.memo = memo_;
    return result;
}

const ResourceBlob* IconSource::groupResource(int index) const
{
    const auto* set = std::get_if<ResourceSet>(&content_);
    if (set == nullptr || index < 0 || index >= count())
        return nullptr;
    return &set->groups[static_cast<std::size_t>(index)];
}

std::optional<VersionInfo> IconSource::versionInfo() const
{
    // A version resource is a few kilobytes; a larger one is no version
    // resource Windows would show.
    constexpr std::uint64_t kMaxVersionBytes = 1 << 20;
    const auto* set = std::get_if<ResourceSet>(&content_);
    if (set == nullptr || !set->version || !set->version->data ||
        set->version->data->length > kMaxVersionBytes)
        return std::nullopt;
    const ByteRange range = *set->version->data;
    const auto held = holdRange(*reader_, range.offset, range.length, &budget_);
    if (!held)
        return std::nullopt;
    auto info = readVersionInfo(held->bytes);
    if (!info)
        return std::nullopt;
    return std::move(*info);
}

std::expected<ExtractedIcon, ReadFailure> IconSource::icon(int index, ExtractOptions options) const
{
    auto g = group(index);
    if (!g)
        return std::unexpected(g.error());
    return extractIcon(*g, options);
}

} // namespace gb
