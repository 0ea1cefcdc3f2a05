#include "core/export/native_sizes.h"

#include "core/export/batch_names.h"
#include "core/files/atomic_file.h"
#include "core/icons/decode_memo.h"
#include "core/icons/stored_images.h"
#include "core/imagefiles/png_writer.h"

#include <algorithm>
#include <filesystem>

namespace gb {

NativeImages nativeImages(const IconGroup& group)
{
    NativeImages result;
    const auto headers = probeGroupEntries(group);
    for (const std::size_t entry : bestEntryPerSize(headers)) {
        // Up to a million sizes may be stored; the file's budget of decoded
        // pixels bounds the work and the images held here.
        const auto pixels = static_cast<std::uint64_t>(headers[entry]->width) *
                            static_cast<std::uint64_t>(headers[entry]->height);
        if (group.memo && !group.memo->charge(pixels)) {
            ++result.undecodable;
            continue;
        }
        auto decoded = decodeIconImage(*group.entries[entry].image);
        if (!decoded) {
            ++result.undecodable;
            continue;
        }
        result.images.push_back(NativeImage{*headers[entry], std::move(*decoded)});
    }
    return result;
}

std::string nativePngName(std::string_view prefix, int n, int width, int height)
{
    return std::string(prefix) + "_png" + std::to_string(n) + "_" + std::to_string(width) + "x" +
           std::to_string(height) + ".png";
}

std::string storedPngName(std::string_view base, std::size_t index, int width, int height)
{
    return std::string(base) + "_" + std::to_string(index + 1) + "_" + std::to_string(width) + "x" +
           std::to_string(height) + ".png";
}

std::string unreadableStoredPngName(std::string_view base, std::size_t index)
{
    return std::string(base) + "_" + std::to_string(index + 1) + "_unreadable.png";
}

std::string hicolorFile(std::string_view iconsFolder, int size, std::string_view name)
{
    const std::string side = std::to_string(size);
    return joinPath(iconsFolder, "hicolor/" + side + "x" + side + "/apps/" + std::string(name) + ".png");
}

HicolorResult writeHicolorIcons(const NativeImages& icon, std::string_view iconsFolder, std::string_view name)
{
    // The files the session took are on disk once it finishes, but for
    // those its sync or rename failed.
    ExportSession session({});
    HicolorResult result = writeHicolorIcons(icon, iconsFolder, name, session);
    for (const ExportResult& late : session.finish().files) {
        // A file add() refused was never taken, and is counted already.
        if (late.outcome != ExportOutcome::NotWritten || std::erase(result.written, late.file.path) == 0)
            continue;
        result.diskFull = result.diskFull || late.failure.problem == WriteProblem::Full;
        result.failures.push_back({late.file.path, late.failure, false});
    }
    return result;
}

HicolorResult writeHicolorIcons(const NativeImages& icon, std::string_view iconsFolder, std::string_view name,
                                ExportSession& session, std::size_t number, std::string_view source)
{
    HicolorResult result;
    for (const int size : kHicolorSizes) {
        const auto image = std::find_if(icon.images.begin(), icon.images.end(), [size](const NativeImage& i) {
            return i.header.width == size && i.header.height == size;
        });
        if (image == icon.images.end())
            continue;
        const std::string file = hicolorFile(iconsFolder, size, name);
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path(), error);
        if (error) {
            result.failures.push_back(
                {file, WriteFailure{error.value(), "cannot make the folder: " + error.message(),
                                    writeProblemOf(error.value(), file)}});
            continue;
        }
        auto png = encodePng(image->pixels);
        if (!png) {
            result.failures.push_back({file, WriteFailure{0, png.error(), WriteProblem::Other}, true});
            continue;
        }
        if (auto written = session.add(ExportFile{file, number, std::string(source)}, *png); !written) {
            result.failures.push_back({file, written.error(), false});
            if (written.error().problem == WriteProblem::Full) {
                result.diskFull = true;
                break;
            }
            continue;
        }
        result.written.push_back(file);
        result.bytes += png->size();
    }
    return result;
}

} // namespace gb
