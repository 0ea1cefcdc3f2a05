#include "thumbnailer/thumbnail.h"

#include "platform/icons/icon_source.h"
#include "platform/icons/stored_images.h"
#include "platform/imagefiles/atomic_file.h"
#include "platform/imagefiles/png_writer.h"
#include "thumbnailer/thumbnailer_args.h"

#include <ostream>

namespace gb::thumbnailer {

std::expected<Thumbnail, std::string> makeThumbnail(const std::string& path, int size)
{
    auto source = IconSource::open(path);
    if (!source)
        return std::unexpected(describe(source.error()));
    if (source->count() == 0)
        return std::unexpected(source->problem() ? describe(*source->problem()) : "the file holds no icon");
    // The first group is the one Explorer shows: resource-directory order.
    const auto group = source->group(0);
    if (!group)
        return std::unexpected(describe(group.error()));

    const auto headers = probeGroupEntries(*group);
    for (const std::size_t entry : thumbnailCandidates(headers, size)) {
        const auto decoded = decodeIconImage(*group->entries[entry].image);
        if (!decoded)
            continue; // a broken image gives way to the next best
        const RgbaImage image = fitWithin(*decoded, size);
        auto png = encodePng(image, PngEffort::Quick);
        if (!png)
            return std::unexpected(png.error());
        return Thumbnail{std::move(*png), image.width(), image.height()};
    }
    return std::unexpected("the first icon holds no drawable image");
}

int runThumbnailer(std::span<const std::string> args, std::ostream& err)
{
    constexpr int kFailed = 1;
    const auto request = parseArguments(args);
    if (!request) {
        err << "glimmerbox-thumbnailer: " << request.error() << '\n' << usageText();
        return kFailed;
    }
    const auto thumbnail = makeThumbnail(request->input, request->size);
    if (!thumbnail) {
        err << "glimmerbox-thumbnailer: " << request->input << ": " << thumbnail.error() << '\n';
        return kFailed;
    }
    if (auto written = writeFileAtomically(request->output, thumbnail->png); !written) {
        err << "glimmerbox-thumbnailer: " << request->output << ": " << written.error().message << '\n';
        return kFailed;
    }
    return 0;
}

} // namespace gb::thumbnailer
