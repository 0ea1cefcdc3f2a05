#include "programs/cli/cli_commands.h"

#include "core/export/batch_names.h"
#include "core/export/export_encoding.h"
#include "core/export/export_session.h"
#include "core/export/native_sizes.h"
#include "core/export/write_allowance.h"
#include "core/icons/icon_source.h"
#include "core/imagefiles/atomic_file.h"
#include "core/imagefiles/bmp_writer.h"
#include "core/imagefiles/gray.h"
#include "core/imagefiles/ico_writer.h"
#include "core/imagefiles/png_writer.h"
#include "core/search/folder_walk.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/stat.h>

namespace gb::cli {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

std::string keyOf(const std::string& path, int index)
{
    return path + "(" + std::to_string(index) + ")";
}

void reportFailure(std::ostream& err, const std::string& path, const std::string& reason)
{
    err << "glimmerbox-cli: " << path << ": " << reason << '\n';
}

// A file to read: its path as given or found, and the file opened (a found
// one through its folder), or why it could not be.
using OpenedFile = std::expected<FileSource, ReadFailure>;
using EachFile = std::function<void(const std::string& path, OpenedFile file)>;

// Indexes a file for listing or export. A file that is no icon source is
// read fine and holds no icons; a broken one, or one that cannot be opened,
// is a failure.
std::optional<IconSource> openSource(const std::string& path, OpenedFile file, std::ostream& err)
{
    auto source = file ? IconSource::open(std::move(*file)) : std::unexpected(file.error());
    if (!source) {
        reportFailure(err, path, describe(source.error()));
        return std::nullopt;
    }
    if (source->problem()) {
        reportFailure(err, path, describe(*source->problem()));
        return std::nullopt;
    }
    return std::move(*source);
}

// mkdir -p: the output folder and any missing parents.
std::optional<std::string> makeFolders(const std::string& folder)
{
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return part + ": " + std::strerror(errno);
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return folder + ": not a folder";
    return std::nullopt;
}

// Every file to read, in catalogue order: a file path as given, a folder
// walked as the window walks it. Returns false when a folder could not be read.
bool forEachInputFile(const Command& command, std::ostream& err, const EachFile& each)
{
    class Collector : public WalkVisitor {
    public:
        Collector(const EachFile& each, std::ostream& err) : each_(each), err_(err) {}
        bool poll() override { return true; }
        void file(const FoundFile& file) override { each_(file.path, file.open()); }
        void unreadableFolder(const std::string& path, int error) override
        {
            reportFailure(err_, path, std::string("cannot read the folder: ") + std::strerror(error));
            failed = true;
        }
        bool failed = false;

    private:
        const EachFile& each_;
        std::ostream& err_;
    };

    const WalkOptions walk{command.walk.recursive, FilePattern(normalisePatternText(command.walk.pattern))};
    bool allRead = true;
    for (const std::string& path : command.paths) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            Collector collector(each, err);
            walkFolderTree(path, walk, collector);
            allRead = allRead && !collector.failed;
        } else {
            each(path, FileSource::open(path)); // opening it reports what is wrong
        }
    }
    return allRead;
}

struct Encoded {
    std::vector<std::byte> bytes;
    BatchKind kind;
};

std::expected<Encoded, std::string> encodeIcon(const IconGroup& group, const ExportOptions& options)
{
    if (options.format == ExportFormat::Original) {
        auto bytes = encodeOriginalIco(group);
        if (!bytes)
            return std::unexpected(std::string("the icon holds no stored image"));
        return Encoded{std::move(*bytes), BatchKind::OriginalGroup};
    }
    const BatchKind kind = options.format == ExportFormat::Ico   ? BatchKind::Ico
                           : options.format == ExportFormat::Bmp ? BatchKind::Bmp
                                                                 : BatchKind::Png;
    auto bytes = encodeIconAs(renderGroup(group, options.size), kind, options.gray);
    if (!bytes)
        return std::unexpected(bytes.error());
    return Encoded{std::move(*bytes), kind};
}

NativeImages grayed(NativeImages icon, bool gray)
{
    if (gray)
        for (NativeImage& image : icon.images)
            image.pixels = grayImage(image.pixels);
    return icon;
}

// What writing one icon came to. An icon whose files the session took is
// "Yes" here; the session reports each file when it is in place, or not.
enum class IconWritten { Yes, Failed, DiskFull };

// Reports a file not written; a full disk (or quota) ends the export.
IconWritten notWritten(const std::string& file, const WriteFailure& failure, std::ostream& err)
{
    reportFailure(err, file, failure.message);
    return failure.problem == WriteProblem::Full ? IconWritten::DiskFull : IconWritten::Failed;
}

// The formats that write several files per icon: every stored size as PNG,
// or an icon-theme tree.
IconWritten writeNativeSizes(const IconGroup& group, const ExportOptions& options, int n,
                             const std::string& key, ExportSession& session, WriteAllowance& allowance,
                             std::ostream& err)
{
    const NativeImages icon = grayed(nativeImages(group), options.gray);
    bool ok = icon.undecodable == 0;
    if (!ok)
        reportFailure(err, key, std::to_string(icon.undecodable) + " stored images cannot be decoded");
    if (options.format == ExportFormat::Hicolor) {
        const std::string name = options.prefix + "_" + std::to_string(n);
        const HicolorResult result =
            writeHicolorIcons(icon, options.outDir, name, session, static_cast<std::size_t>(n), key);
        allowance.charge(result.bytes);
        for (const HicolorFailure& failure : result.failures)
            err << "glimmerbox-cli: " << failure.file << ": " << failure.failure.message << '\n';
        if (result.diskFull)
            return IconWritten::DiskFull;
        if (result.written.empty() && result.failures.empty())
            reportFailure(
                err, key,
                "no stored image of a size of the hicolor theme (16, 22, 24, 32, 48, 64, 128, 256)");
        return ok && !result.written.empty() && result.failures.empty() ? IconWritten::Yes
                                                                        : IconWritten::Failed;
    }
    if (icon.images.empty() && ok) {
        reportFailure(err, key, "the icon holds no stored image");
        return IconWritten::Failed;
    }
    for (const NativeImage& image : icon.images) {
        const std::string file = joinPath(
            options.outDir, nativePngName(options.prefix, n, image.header.width, image.header.height));
        auto png = encodePng(image.pixels);
        if (!png) {
            reportFailure(err, file, png.error());
            ok = false;
            continue;
        }
        if (allowance.spent()) {
            reportFailure(err, key,
                          "not every size written: the file's icons would write more than " +
                              std::to_string(allowance.total()) + " bytes");
            return IconWritten::Failed;
        }
        if (auto written = session.add(ExportFile{file, static_cast<std::size_t>(n), key}, *png); !written) {
            if (notWritten(file, written.error(), err) == IconWritten::DiskFull)
                return IconWritten::DiskFull;
            ok = false;
            continue;
        }
        allowance.charge(png->size());
    }
    return ok ? IconWritten::Yes : IconWritten::Failed;
}

// One icon in the format asked for, to its numbered file (or files).
IconWritten exportIcon(const IconSource& source, int i, int n, const std::string& key,
                       const ExportOptions& options, ExportSession& session, WriteAllowance& allowance,
                       std::ostream& err)
{
    const auto group = source.group(i);
    if (group && (options.allSizes || options.format == ExportFormat::Hicolor))
        return writeNativeSizes(*group, options, n, key, session, allowance, err);
    auto encoded = group ? encodeIcon(*group, options) : std::unexpected(describe(group.error()));
    if (!encoded) {
        reportFailure(err, key, encoded.error());
        return IconWritten::Failed;
    }
    const std::string file = joinPath(options.outDir, batchFileName(options.prefix, encoded->kind, n));
    if (auto written = session.add(ExportFile{file, static_cast<std::size_t>(n), key}, encoded->bytes);
        !written)
        return notWritten(file, written.error(), err);
    allowance.charge(encoded->bytes.size());
    return IconWritten::Yes;
}

// Once the disk is full, no file after it can be written either: the icons
// after the first "no space" are counted, not tried, so it is said once.
// An icon is counted once, however many of its files found the disk full.
class FullDisk {
public:
    bool found() const { return found_; }
    std::size_t iconsNotWritten() const { return iconsNotWritten_; }
    void iconNotWritten(std::size_t n)
    {
        found_ = true;
        if (n != lastIcon_)
            ++iconsNotWritten_;
        lastIcon_ = n;
    }

private:
    bool found_ = false;
    std::size_t iconsNotWritten_ = 0;
    std::size_t lastIcon_ = 0; // icons are numbered from 1
};

} // namespace

int runList(const Command& command, std::ostream& out, std::ostream& err)
{
    int icons = 0, files = 0;
    bool failed = false;
    const bool allRead = forEachInputFile(command, err, [&](const std::string& path, OpenedFile opened) {
        ++files;
        const auto source = openSource(path, std::move(opened), err);
        if (!source) {
            failed = true;
            return;
        }
        for (int i = 0; i < source->count(); ++i) {
            const auto icon = source->icon(i);
            if (!icon)
                continue; // cannot happen below count(); kept for safety
            out << keyOf(path, i) << '\t' << icon->largeEntry.label() << '\t' << icon->smallEntry.label()
                << '\n';
            ++icons;
        }
    });
    err << icons << " icons in " << files << " files\n";
    return failed || !allRead ? kExitSomeFailed : kExitOk;
}

int runExport(const Command& command, std::ostream& out, std::ostream& err, const StageStep& stage)
{
    const ExportOptions& options = command.exportOptions;
    if (const auto problem = makeFolders(options.outDir)) {
        err << "glimmerbox-cli: cannot make the output folder " << *problem << '\n';
        return kExitSomeFailed;
    }

    int n = 0;
    bool failed = false;
    FullDisk full;
    // Files go into place a group at a time, in list order; each is printed
    // as KEY<TAB>FILE once it is there.
    ExportSession session(
        [&](const ExportFile& file, const std::expected<void, WriteFailure>& written) {
            if (written) {
                out << file.source << '\t' << file.path << '\n';
                return;
            }
            failed = true;
            if (notWritten(file.path, written.error(), err) == IconWritten::DiskFull)
                full.iconNotWritten(file.number);
        },
        stage);
    const bool allRead = forEachInputFile(command, err, [&](const std::string& path, OpenedFile opened) {
        const auto source = openSource(path, std::move(opened), err);
        if (!source) {
            failed = true;
            return;
        }
        WriteAllowance allowance(source->size());
        for (int i = 0; i < source->count(); ++i) {
            ++n; // numbers follow list order, even past a failed icon
            if (full.found()) {
                full.iconNotWritten(static_cast<std::size_t>(n));
                continue;
            }
            if (allowance.spent()) {
                reportFailure(err, path,
                              "stopped before icon " + std::to_string(i) + " of " +
                                  std::to_string(source->count()) + ": its icons would write more than " +
                                  std::to_string(allowance.total()) + " bytes");
                failed = true;
                n += source->count() - i - 1;
                break;
            }
            switch (exportIcon(*source, i, n, keyOf(path, i), options, session, allowance, err)) {
            case IconWritten::Yes: break;
            case IconWritten::Failed: failed = true; break;
            case IconWritten::DiskFull:
                failed = true;
                full.iconNotWritten(static_cast<std::size_t>(n));
                break;
            }
        }
    });
    session.finish();
    if (full.found())
        err << "glimmerbox-cli: no space left in " << options.outDir << ": export stopped, "
            << full.iconsNotWritten() << (full.iconsNotWritten() == 1 ? " icon" : " icons")
            << " not written\n";
    return failed || !allRead ? kExitSomeFailed : kExitOk;
}

int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err)
{
    const auto command = parseCommandLine(args);
    if (!command) {
        err << "glimmerbox-cli: " << command.error() << "\n"
            << "Try 'glimmerbox-cli --help'.\n";
        return kExitUsage;
    }
    switch (command->kind) {
    case Command::Kind::Help: out << usageText(); return kExitOk;
    case Command::Kind::List: return runList(*command, out, err);
    case Command::Kind::Export: return runExport(*command, out, err);
    }
    return kExitUsage;
}

} // namespace gb::cli
