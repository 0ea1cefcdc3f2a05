#include "programs/cli/cli_commands.h"
#include "programs/cli/input_files.h"
#include "programs/cli/list_json.h"
#include "programs/cli/name_list.h"

#include "core/catalogue/icon_origin.h"
#include "core/export/batch_names.h"
#include "core/export/export_encoding.h"
#include "core/export/export_run.h"
#include "core/export/export_session.h"
#include "core/export/native_sizes.h"
#include "core/export/write_allowance.h"
#include "core/icons/icon_source.h"
#include "core/imagefiles/atomic_file.h"
#include "core/imagefiles/bmp_writer.h"
#include "core/imagefiles/gray.h"
#include "core/imagefiles/ico_writer.h"
#include "core/imagefiles/png_writer.h"
#include "core/launcher/launcher.h"
#include "core/text/escaped_text.h"
#include "system/paths/app_paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
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

// One source's icons, read one at a time: a source keeps a read cache and a
// budget of its own, so its icons are prepared by one worker at a time.
struct SharedSource {
    explicit SharedSource(IconSource read) : source(std::move(read)) {}
    std::mutex mutex;
    IconSource source;
};

// What the command line says of an icon beside its files, found by the
// worker that prepared it.
struct IconNotes {
    enum class Sizes { One, EveryStored, IconTheme };
    Sizes sizes = Sizes::One;
    std::string failure;  // the icon cannot be written, and why
    int undecodable = 0;  // stored sizes that cannot be decoded
    bool noImage = false; // no stored size could be drawn
};

// Every stored size as PNG, or the icon-theme tree: the sizes the tree
// takes, each in its folder (made here, so the file's turn has only to
// write it).
std::vector<PreparedExportFile> nativeFiles(const NativeImages& icon, const ExportOptions& options, int n,
                                            const std::string& key)
{
    std::vector<PreparedExportFile> files;
    const ExportFile numbered{{}, static_cast<std::size_t>(n), key};
    if (options.format != ExportFormat::Hicolor) {
        for (const NativeImage& image : icon.images) {
            ExportFile file = numbered;
            file.path = joinPath(options.outDir,
                                 nativePngName(options.prefix, n, image.header.width, image.header.height));
            files.push_back(PreparedExportFile{std::move(file), encodePng(image.pixels)});
        }
        return files;
    }
    const std::string name = options.prefix + "_" + std::to_string(n);
    for (const int size : kHicolorSizes) {
        const auto image = std::ranges::find_if(icon.images, [size](const NativeImage& i) {
            return i.header.width == size && i.header.height == size;
        });
        if (image == icon.images.end())
            continue;
        ExportFile file = numbered;
        file.path = hicolorFile(options.outDir, size, name);
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(file.path).parent_path(), error);
        ExportContents contents =
            error ? ExportContents(std::unexpected("cannot make the folder: " + error.message()))
                  : encodePng(image->pixels);
        files.push_back(PreparedExportFile{std::move(file), std::move(contents)});
    }
    return files;
}

// One icon read and encoded, on a worker, into the file (or files) it
// writes under its number.
std::vector<PreparedExportFile> prepareIcon(SharedSource& shared, int i, int n, const std::string& key,
                                            const ExportOptions& options, IconNotes& notes)
{
    std::unique_lock lock(shared.mutex);
    const auto group = shared.source.group(i);
    if (!group) {
        notes.failure = describe(group.error());
        return {};
    }
    if (options.allSizes || options.format == ExportFormat::Hicolor) {
        const NativeImages icon = grayed(nativeImages(*group), options.gray);
        lock.unlock();
        notes.sizes = options.format == ExportFormat::Hicolor ? IconNotes::Sizes::IconTheme
                                                              : IconNotes::Sizes::EveryStored;
        notes.undecodable = icon.undecodable;
        notes.noImage = icon.images.empty();
        return nativeFiles(icon, options, n, key);
    }
    auto encoded = encodeIcon(*group, options);
    lock.unlock();
    if (!encoded) {
        notes.failure = encoded.error();
        return {};
    }
    ExportFile file{joinPath(options.outDir, batchFileName(options.prefix, encoded->kind, n)),
                    static_cast<std::size_t>(n), key};
    std::vector<PreparedExportFile> files;
    files.push_back(PreparedExportFile{std::move(file), std::move(encoded->bytes)});
    return files;
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

// An item of the export as the command line tells it: an icon, or a file or
// folder that could not be read, said in its place in the order.
struct ExportLine {
    enum class Kind { Icon, UnreadableSource, UnreadableFolder };
    Kind kind = Kind::Icon;
    std::string path; // the source's member path, or the folder
    std::string key;  // the icon's
    std::string reason;
    int error = 0;                         // the folder's
    std::size_t source = 0;                // the icon's source, counted from 1
    int index = 0, count = 0;              // icon `index` of the source's `count`
    int n = 0;                             // its number
    std::uint64_t allowance = 0;           // what the source may write
    std::shared_ptr<IconNotes> notes = {}; // filled by the worker
};

// Tells what became of each item, in order, as its files go into place:
// KEY<TAB>FILE for each file written, a line on stderr for each that was not.
class ExportTeller {
public:
    ExportTeller(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void told(const ExportLine& line, const ExportItemResult& result)
    {
        switch (line.kind) {
        case ExportLine::Kind::UnreadableFolder:
            reportUnreadableFolder(err_, line.path, line.error);
            allRead_ = false;
            return;
        case ExportLine::Kind::UnreadableSource:
            reportFailure(err_, line.path, line.reason);
            failed_ = true;
            return;
        case ExportLine::Kind::Icon: icon(line, result); return;
        }
    }

    bool failed() const { return failed_; }
    bool allRead() const { return allRead_; }
    const FullDisk& full() const { return full_; }

private:
    void icon(const ExportLine& line, const ExportItemResult& result)
    {
        const auto n = static_cast<std::size_t>(line.n);
        if (result.skipped == ExportOutcome::NotTried) {
            full_.iconNotWritten(n);
            return;
        }
        if (result.skipped == ExportOutcome::OverAllowance) {
            // Said once, at the first icon the source's allowance stopped.
            if (line.source != stoppedSource_)
                reportFailure(err_, line.path,
                              "stopped before icon " + std::to_string(line.index) + " of " +
                                  std::to_string(line.count) + ": its icons would write more than " +
                                  std::to_string(line.allowance) + " bytes");
            stoppedSource_ = line.source;
            failed_ = true;
            return;
        }
        if (result.skipped)
            return; // not reached: the command line asks for no stop
        const IconNotes& notes = *line.notes;
        if (!notes.failure.empty()) {
            reportFailure(err_, line.key, notes.failure);
            failed_ = true;
            return;
        }
        if (notes.undecodable != 0) {
            reportFailure(err_, line.key,
                          std::to_string(notes.undecodable) + " stored images cannot be decoded");
            failed_ = true;
        }
        if (notes.sizes == IconNotes::Sizes::EveryStored && notes.noImage && notes.undecodable == 0) {
            reportFailure(err_, line.key, "the icon holds no stored image");
            failed_ = true;
            return;
        }
        bool diskFull = false;
        for (const ExportResult& file : result.files) {
            failed_ = failed_ || file.outcome != ExportOutcome::Written;
            if (file.outcome == ExportOutcome::OverAllowance) {
                // The icon's sizes after it are not written either.
                reportFailure(err_, line.key,
                              "not every size written: the file's icons would write more than " +
                                  std::to_string(line.allowance) + " bytes");
                break;
            }
            if (file.outcome == ExportOutcome::Written)
                out_ << escapeText(file.file.source) << '\t' << escapeText(file.file.path) << '\n';
            else if (file.outcome == ExportOutcome::NotPrepared)
                reportFailure(err_, file.file.path, file.reason);
            else if (file.outcome == ExportOutcome::NotWritten)
                reportFailure(err_, file.file.path, file.failure.message);
            diskFull = diskFull || (file.outcome == ExportOutcome::NotWritten &&
                                    file.failure.problem == WriteProblem::Full);
        }
        if (diskFull) {
            full_.iconNotWritten(n);
            return;
        }
        if (notes.sizes == IconNotes::Sizes::IconTheme && result.files.empty()) {
            reportFailure(
                err_, line.key,
                "no stored image of a size of the hicolor theme (16, 22, 24, 32, 48, 64, 128, 256)");
            failed_ = true;
        }
    }

    std::ostream& out_;
    std::ostream& err_;
    bool failed_ = false;
    bool allRead_ = true;
    FullDisk full_;
    std::size_t stoppedSource_ = 0; // the last source whose allowance stopped it
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
            std::vector<Listed> all;
            forEachInputSource(input, command, [&](ProducedSource source) {
                Listed& listed = all.emplace_back(Listed{source.origin, {}, 0, {}});
                if (!source.source) {
                    listed.failure = describe(source.source.error());
                    return;
                }
                if (command.json) {
                    JsonListing listing = listJson(source.origin, *source.source);
                    listed.lines = std::move(listing.lines);
                    listed.icons = listing.icons;
                    return;
                }
                for (int i = 0; i < source.source->count(); ++i) {
                    // Below count(), and with no stop to ask for, every icon
                    // is read: value() cannot throw.
                    const ExtractedIcon icon = source.source->icon(i).value();
                    listed.lines += escapeText(keyOf(source.origin, i)) + '\t' + icon.largeEntry.label() +
                                    '\t' + icon.smallEntry.label() + '\n';
                    ++listed.icons;
                }
            });
            return all;
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

    // Files are read on every core and their icons prepared on every core;
    // they are numbered, written and told here, in list order. Each item's
    // lines wait beside it until its files are in place.
    std::deque<ExportLine> lines;
    ExportTeller teller(out, err);
    std::size_t sources = 0; // each source's allowance is its own; a line alone has none
    int n = 0;
    const auto feed = [&](const ExportSubmit& submit) {
        const auto alone = [&](ExportLine line) {
            lines.push_back(std::move(line));
            submit(ExportItem{{}, {}, ++sources, 0, [] { return std::vector<PreparedExportFile>{}; }});
        };
        const auto deliver = [&](std::vector<ProducedSource>& produced) {
            for (ProducedSource& input : produced) {
                const std::string path = input.origin.memberPath();
                if (!input.source) {
                    alone(ExportLine{
                        ExportLine::Kind::UnreadableSource, path, {}, describe(input.source.error())});
                    continue;
                }
                const int count = input.source->count();
                const std::uint64_t size = input.source->size();
                const std::size_t source = ++sources;
                auto shared = std::make_shared<SharedSource>(std::move(*input.source));
                for (int i = 0; i < count; ++i) {
                    ++n; // numbers follow list order, even past a failed icon
                    auto notes = std::make_shared<IconNotes>();
                    std::string key = keyOf(input.origin, i);
                    lines.push_back(ExportLine{ExportLine::Kind::Icon,
                                               path,
                                               key,
                                               {},
                                               0,
                                               source,
                                               i,
                                               count,
                                               n,
                                               WriteAllowance(size).total(),
                                               notes});
                    submit(ExportItem{{},
                                      {},
                                      source,
                                      size,
                                      [shared, i, n = n, key = std::move(key), &options, notes] {
                                          return prepareIcon(*shared, i, n, key, options, *notes);
                                      },
                                      // An icon-theme tree is written whole or not at all.
                                      options.format != ExportFormat::Hicolor});
                }
            }
        };
        readInputFiles<std::vector<ProducedSource>>(
            command, err, readAhead(command),
            [&command](InputFile& input) {
                std::vector<ProducedSource> all;
                forEachInputSource(input, command,
                                   [&](ProducedSource source) { all.push_back(std::move(source)); });
                return all;
            },
            deliver,
            [&](const std::string& folder, int error) {
                alone(ExportLine{ExportLine::Kind::UnreadableFolder, folder, {}, {}, error});
            });
    };
    ExportRun(ExportPolicy{ExportPolicy::OnFailure::StopAtFullDisk, ExportPolicy::Allowance::PerInput},
              command.jobs, stage)
        .run(feed, [&](const ExportItemResult& result) {
            teller.told(lines.front(), result);
            lines.pop_front();
        });
    const FullDisk& full = teller.full();
    if (full.found())
        err << "glimmerbox-cli: no space left in " << escapeText(options.outDir) << ": export stopped, "
            << full.iconsNotWritten() << (full.iconsNotWritten() == 1 ? " icon" : " icons")
            << " not written\n";
    return teller.failed() || !teller.allRead() ? kExitSomeFailed : kExitOk;
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
