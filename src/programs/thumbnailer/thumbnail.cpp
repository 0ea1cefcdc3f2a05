#include "programs/thumbnailer/thumbnail.h"

#include "core/files/atomic_file.h"
#include "core/icons/icon_source.h"
#include "core/icons/png_decoder.h"
#include "core/icons/stored_images.h"
#include "core/imagefiles/png_writer.h"
#include "core/sources/source_producer.h"
#include "core/wine/shortcut_icon.h"
#include "programs/thumbnailer/stored_png.h"
#include "programs/thumbnailer/thumbnailer_args.h"

#include <ostream>
#include <set>
#include <utility>

namespace gb::thumbnailer {

namespace {

// A stored PNG that already fits is the thumbnail as it is, when it decodes
// and a viewer would show it as drawn: no decode to RGBA, no encode.
std::optional<Thumbnail> storedPngAsItIs(const ByteReader& image, const ImageHeader& header, int size)
{
    if (!header.png || header.width > size || header.height > size)
        return std::nullopt;
    const auto bytes = plainPngBytes(image);
    if (!bytes || !pngDecodes(image))
        return std::nullopt;
    return Thumbnail{std::vector<std::byte>(bytes->begin(), bytes->end()), header.width, header.height};
}

// Whole or absent, like every file we write, but not synced: the file
// manager reads the thumbnail at once and keeps it in its own cache, one
// lost to a power cut is made again on the next look, and a sync per
// thumbnail would make a folder of programs wait on the disk once per file.
std::expected<void, WriteFailure> writeThumbnailFile(const std::string& path, std::span<const std::byte> png)
{
    auto staged = stageFile(path, png, Sync::Later);
    if (!staged)
        return std::unexpected(staged.error());
    return commitStagedFile(*staged);
}

// The icon Explorer shows for the file: its first (resource-directory
// order); for a shortcut the one it names, else its target's first, looked
// up in the Wine prefix the shortcut lies in. A file manager asks for
// thumbnails of whatever a folder holds, downloads included, so the
// shortcut's paths are confined to its prefix's folders (its own folder's
// without a prefix) and the prefix's drives.
std::expected<IconChoice, std::string> shownIcon(const std::string& path)
{
    const auto shortcut = readShortcutFile(path);
    if (!shortcut)
        return std::unexpected(describe(shortcut.error()));
    if (!*shortcut)
        return IconChoice{path, 0};
    auto icon = shortcutIcon(**shortcut, shortcutPaths(path, std::nullopt, /*confined=*/true));
    if (!icon)
        return std::unexpected(describe(icon.error()));
    return std::move(*icon);
}

} // namespace

std::expected<Thumbnail, std::string> makeThumbnail(const std::string& path, int size)
{
    const auto shown = shownIcon(path);
    if (!shown)
        return std::unexpected(shown.error());
    // A file whose structure is broken fails here with its reason.
    const auto source = openOrigin(IconOrigin{shown->file, 0});
    if (!source)
        return std::unexpected(describe(source.error()));
    if (source->count() == 0)
        return std::unexpected("the file holds no icon");
    const auto position = iconPosition(*source, shown->index);
    if (!position)
        return std::unexpected(shown->file + ": no icon of index " + std::to_string(shown->index));
    const auto group = source->group(*position);
    if (!group)
        return std::unexpected(describe(group.error()));

    const auto headers = probeGroupEntries(*group);
    std::set<std::pair<std::uint64_t, std::uint64_t>> broken; // images that failed, by offset and size
    for (const std::size_t entry : thumbnailCandidates(headers, size)) {
        const ByteReader& stored = *group->entries[entry].image;
        const auto place = group->entries[entry].place();
        if (broken.contains(place))
            continue; // another entry naming the same image
        if (auto asItIs = storedPngAsItIs(stored, *headers[entry], size))
            return std::move(*asItIs);
        const auto image = decodeFittedWithin(stored, size);
        if (!image) {
            broken.insert(place);
            continue; // a broken image gives way to the next best
        }
        auto png = encodePng(*image, PngEffort::Quick);
        if (!png)
            return std::unexpected(png.error());
        return Thumbnail{std::move(*png), image->width(), image->height()};
    }
    return std::unexpected("the first icon holds no drawable image");
}

int runThumbnailer(std::span<const std::string> args, std::ostream& out, std::ostream& err)
{
    constexpr int kFailed = 1;
    const auto request = parseArguments(args);
    if (!request) {
        err << "glimmerbox-thumbnailer: " << request.error() << '\n' << usageText();
        return kFailed;
    }
    if (request->action == Request::Action::Help) {
        out << usageText();
        return 0;
    }
    if (request->action == Request::Action::Version) {
        out << versionText();
        return 0;
    }
    const auto thumbnail = makeThumbnail(request->input, request->size);
    if (!thumbnail) {
        err << "glimmerbox-thumbnailer: " << request->input << ": " << thumbnail.error() << '\n';
        return kFailed;
    }
    if (auto written = writeThumbnailFile(request->output, thumbnail->png); !written) {
        err << "glimmerbox-thumbnailer: " << request->output << ": " << written.error().message << '\n';
        return kFailed;
    }
    return 0;
}

} // namespace gb::thumbnailer
