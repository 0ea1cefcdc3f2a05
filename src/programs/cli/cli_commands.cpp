#include "programs/cli/cli_commands.h"
#include "programs/cli/input_files.h"
#include "programs/cli/list_json.h"
#include "programs/cli/name_list.h"

#include "core/catalogue/icon_origin.h"
#include "core/export/batch_names.h"
#include "core/export/export_encoding.h"
#include "core/export/export_session.h"
#include "core/export/native_sizes.h"
#include "core/export/write_allowance.h"
#include "core/icons/icon_source.h"
#include "core/files/atomic_file.h"
#include "core/imagefiles/bmp_writer.h"
#include "core/imagefiles/gray.h"
#include "core/imagefiles/ico_writer.h"
#include "core/imagefiles/png_writer.h"
#include "core/launcher/launcher.h"
#include "core/text/escaped_text.h"
#include "system/paths/app_paths.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/stat.h>

namespace gb::cli {

std::string keyOf(const IconOrigin& origin, int index)
{
    // The catalogue's own key, so the command line and the window agree.
    IconOrigin icon = origin;
    icon.index = index;
    return icon.key();
}

namespace {

constexpr int kExitOk = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

// Every name and reason printed is escaped (escapeText): a name holding a
// line break would otherwise print a line of its own.
void reportFailure(std::ostream& err, const std::string& path, const std::string& reason)
{
    err << "glimmerbox-cli: " << escapeText(path) << ": " << escapeText(reason) << '\n';
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

// One icon read and encoded, ready to be written under its number: done on
// the workers, while the writing and the numbering stay in list order.
struct PreparedIcon {
    std::string failure;                // the icon cannot be written, and why
    std::optional<Encoded> encoded;     // the one file of a fixed size
    std::optional<NativeImages> native; // every stored size, or the icon-theme sizes
    std::vector<std::expected<std::vector<std::byte>, std::string>> pngs; // each native image as PNG
    std::uint64_t bytes = 0;                                              // encoded in all
};

PreparedIcon prepareIcon(const IconSource& source, int i, const ExportOptions& options)
{
    PreparedIcon prepared;
    const auto group = source.group(i);
    if (!group) {
        prepared.failure = describe(group.error());
        return prepared;
    }
    if (options.allSizes || options.format == ExportFormat::Hicolor) {
        prepared.native = grayed(nativeImages(*group), options.gray);
        for (NativeImage& image : prepared.native->images) {
            if (options.format == ExportFormat::Hicolor) {
                // Encoded as the tree is written; held until then as pixels.
                prepared.bytes += 4 * image.pixels.pixels().size();
                continue;
            }
            prepared.pngs.push_back(encodePng(image.pixels));
            if (prepared.pngs.back())
                prepared.bytes += prepared.pngs.back()->size();
            image.pixels = RgbaImage(); // only its header is needed now
        }
        return prepared;
    }
    auto encoded = encodeIcon(*group, options);
    if (!encoded) {
        prepared.failure = encoded.error();
        return prepared;
    }
    prepared.bytes = encoded->bytes.size();
    prepared.encoded = std::move(*encoded);
    return prepared;
}

// A file read and its first icons prepared: as many as its allowance lets
// be written, so a worker holds no more than the export could write.
// The source is kept only while icons are left to prepare: a container's
// members wait together to be written, and holding each member's bytes
// until then would hold the whole container.
struct PreparedFile {
    IconOrigin origin;
    std::string failure; // the file cannot be read, and why
    int count = 0;
    std::uint64_t size = 0;
    std::optional<IconSource> source; // while icons are left unprepared
    std::vector<PreparedIcon> icons;
};

PreparedFile prepareSource(ProducedSource& input, const ExportOptions& options)
{
    PreparedFile prepared{std::move(input.origin), {}, 0, 0, std::nullopt, {}};
    if (!input.source) {
        prepared.failure = describe(input.source.error());
        return prepared;
    }
    const IconSource& source = *input.source;
    prepared.count = source.count();
    prepared.size = source.size();
    WriteAllowance allowance(source.size());
    for (int i = 0; i < prepared.count && !allowance.spent(); ++i) {
        prepared.icons.push_back(prepareIcon(source, i, options));
        allowance.charge(prepared.icons.back().bytes);
    }
    if (prepared.icons.size() < static_cast<std::size_t>(prepared.count))
        prepared.source = std::move(*input.source);
    return prepared;
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
IconWritten writeNativeSizes(const PreparedIcon& prepared, const ExportOptions& options, int n,
                             const std::string& key, ExportSession& session, WriteAllowance& allowance,
                             std::ostream& err)
{
    const NativeImages& icon = *prepared.native;
    bool ok = icon.undecodable == 0;
    if (!ok)
        reportFailure(err, key, std::to_string(icon.undecodable) + " stored images cannot be decoded");
    if (options.format == ExportFormat::Hicolor) {
        const std::string name = options.prefix + "_" + std::to_string(n);
        const HicolorResult result =
            writeHicolorIcons(icon, options.outDir, name, session, static_cast<std::size_t>(n), key);
        allowance.charge(result.bytes);
        for (const HicolorFailure& failure : result.failures)
            reportFailure(err, failure.file, failure.failure.message);
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
    for (std::size_t at = 0; at < icon.images.size(); ++at) {
        const NativeImage& image = icon.images[at];
        const std::string file = joinPath(
            options.outDir, nativePngName(options.prefix, n, image.header.width, image.header.height));
        const auto& png = prepared.pngs[at];
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

// One prepared icon, to its numbered file (or files).
IconWritten writeIcon(const PreparedIcon& prepared, int n, const std::string& key,
                      const ExportOptions& options, ExportSession& session, WriteAllowance& allowance,
                      std::ostream& err)
{
    if (!prepared.failure.empty()) {
        reportFailure(err, key, prepared.failure);
        return IconWritten::Failed;
    }
    if (prepared.native)
        return writeNativeSizes(prepared, options, n, key, session, allowance, err);
    const Encoded& encoded = *prepared.encoded;
    const std::string file = joinPath(options.outDir, batchFileName(options.prefix, encoded.kind, n));
    if (auto written = session.add(ExportFile{file, static_cast<std::size_t>(n), key}, encoded.bytes);
        !written)
        return notWritten(file, written.error(), err);
    allowance.charge(encoded.bytes.size());
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

// Files read at once and waiting: a few per worker keep every core busy.
std::size_t readAhead(const Command& command)
{
    return 4 * std::size_t{command.jobs ? command.jobs : allCores()};
}

} // namespace

int runList(const Command& command, std::ostream& out, std::ostream& err)
{
    struct Listed {
        IconOrigin origin;
        std::string lines; // KEY<TAB>ENTRY32<TAB>ENTRY16, or a JSON object, per icon
        int icons = 0;
        std::string failure;
    };
    int icons = 0, files = 0;
    bool failed = false;
    const bool allRead = readInputFiles<std::vector<Listed>>(
        command, err, readAhead(command),
        [&command](InputFile& input) {
            return readInputSources<Listed>(input, command, [&command](ProducedSource source) {
                Listed listed{source.origin, {}, 0, {}};
                if (!source.source) {
                    listed.failure = describe(source.source.error());
                    return listed;
                }
                if (command.json) {
                    JsonListing listing = listJson(source.origin, *source.source);
                    listed.lines = std::move(listing.lines);
                    listed.icons = listing.icons;
                    return listed;
                }
                for (int i = 0; i < source.source->count(); ++i) {
                    // Below count(), and with no stop to ask for, every icon
                    // is read: value() cannot throw.
                    const ExtractedIcon icon = source.source->icon(i).value();
                    listed.lines += escapeText(keyOf(source.origin, i)) + '\t' + icon.largeEntry.label() +
                                    '\t' + icon.smallEntry.label() + '\n';
                    ++listed.icons;
                }
                return listed;
            });
        },
        [&](std::vector<Listed>& all) {
            for (Listed& listed : all) {
                ++files;
                if (!listed.failure.empty()) {
                    reportFailure(err, listed.origin.memberPath(), listed.failure);
                    failed = true;
                    continue;
                }
                out << listed.lines;
                icons += listed.icons;
            }
        });
    err << icons << " icons in " << files << " files\n";
    return failed || !allRead ? kExitSomeFailed : kExitOk;
}

int runExport(const Command& command, std::ostream& out, std::ostream& err, const StageStep& stage)
{
    const ExportOptions& options = command.exportOptions;
    if (const auto problem = makeFolders(options.outDir)) {
        err << "glimmerbox-cli: cannot make the output folder " << escapeText(*problem) << '\n';
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
                out << escapeText(file.source) << '\t' << escapeText(file.path) << '\n';
                return;
            }
            failed = true;
            if (notWritten(file.path, written.error(), err) == IconWritten::DiskFull)
                full.iconNotWritten(file.number);
        },
        stage);
    // Files are read and their icons encoded on every core; they are
    // numbered and written here, in list order.
    const auto writeFile = [&](PreparedFile& file) {
        if (!file.failure.empty()) {
            reportFailure(err, file.origin.memberPath(), file.failure);
            failed = true;
            return;
        }
        WriteAllowance allowance(file.size);
        for (int i = 0; i < file.count; ++i) {
            ++n; // numbers follow list order, even past a failed icon
            if (full.found()) {
                full.iconNotWritten(static_cast<std::size_t>(n));
                continue;
            }
            if (allowance.spent()) {
                reportFailure(err, file.origin.memberPath(),
                              "stopped before icon " + std::to_string(i) + " of " +
                                  std::to_string(file.count) + ": its icons would write more than " +
                                  std::to_string(allowance.total()) + " bytes");
                failed = true;
                n += file.count - i - 1;
                break;
            }
            // An icon the worker left unprepared (a write failed, so the
            // allowance goes further here) is prepared now.
            const auto at = static_cast<std::size_t>(i);
            const PreparedIcon icon =
                at < file.icons.size() ? std::move(file.icons[at]) : prepareIcon(*file.source, i, options);
            switch (writeIcon(icon, n, keyOf(file.origin, i), options, session, allowance, err)) {
            case IconWritten::Yes: break;
            case IconWritten::Failed: failed = true; break;
            case IconWritten::DiskFull:
                failed = true;
                full.iconNotWritten(static_cast<std::size_t>(n));
                break;
            }
        }
    };
    const bool allRead = readInputFiles<std::vector<PreparedFile>>(
        command, err, readAhead(command),
        [&command, &options](InputFile& input) {
            return readInputSources<PreparedFile>(
                input, command, [&options](ProducedSource source) { return prepareSource(source, options); });
        },
        [&](std::vector<PreparedFile>& all) {
            for (PreparedFile& file : all)
                writeFile(file);
        });
    session.finish();
    if (full.found())
        err << "glimmerbox-cli: no space left in " << escapeText(options.outDir) << ": export stopped, "
            << full.iconsNotWritten() << (full.iconsNotWritten() == 1 ? " icon" : " icons")
            << " not written\n";
    return failed || !allRead ? kExitSomeFailed : kExitOk;
}

int runLauncher(const Command& command, std::ostream& out, std::ostream& err)
{
    const LauncherOptions& options = command.launcherOptions;
    LauncherRequest request{command.paths.front(), options.prefix, options.name,
                            options.dataDir.value_or(defaultDataDir().value_or(""))};
    const auto plan = planLauncher(request);
    if (!plan) {
        err << "glimmerbox-cli: " << escapeText(describe(plan.error())) << '\n';
        return kExitSomeFailed;
    }
    const auto written = writeLauncher(*plan);
    if (!written) {
        err << "glimmerbox-cli: " << escapeText(describe(written.error())) << '\n';
        return kExitSomeFailed;
    }
    out << escapeText(*written) << '\n';
    return kExitOk;
}

int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err)
{
    auto command = parseCommandLine(args);
    if (!command) {
        err << "glimmerbox-cli: " << escapeText(command.error()) << "\n"
            << "Try 'glimmerbox-cli --help'.\n";
        return kExitUsage;
    }
    if (command->filesFrom) {
        const auto separator = command->nulSeparated ? NameSeparator::Nul : NameSeparator::LineFeed;
        auto names = readNameList(*command->filesFrom, separator);
        if (!names) {
            err << "glimmerbox-cli: " << escapeText(nameListFailureText(*command->filesFrom, names.error()))
                << "\n";
            return kExitUsage;
        }
        command->paths.insert(command->paths.end(), std::make_move_iterator(names->begin()),
                              std::make_move_iterator(names->end()));
    }
    switch (command->kind) {
    case Command::Kind::Help: out << usageText(); return kExitOk;
    case Command::Kind::Version: out << versionText(); return kExitOk;
    case Command::Kind::List: return runList(*command, out, err);
    case Command::Kind::Export: return runExport(*command, out, err);
    case Command::Kind::Launcher: return runLauncher(*command, out, err);
    }
    return kExitUsage;
}

} // namespace gb::cli
