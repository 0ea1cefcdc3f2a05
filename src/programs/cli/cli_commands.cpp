#include "programs/cli/cli_commands.h"
#include "programs/cli/cursor_listing.h"
#include "programs/cli/input_files.h"
#include "programs/cli/list_json.h"
#include "programs/cli/name_list.h"

#include "core/catalogue/icon_origin.h"
#include "core/cursors/cursor_reader.h"
#include "core/export/batch_names.h"
#include "core/export/cursor_export.h"
#include "core/export/export_encoding.h"
#include "core/export/export_run.h"
#include "core/export/export_session.h"
#include "core/export/native_sizes.h"
#include "core/export/write_allowance.h"
#include "core/files/atomic_file.h"
#include "core/icons/icon_source.h"
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

// What the command line says of an icon beside its files.
struct IconNotes {
    enum class Sizes { One, EveryStored, IconTheme };
    Sizes sizes = Sizes::One;
    std::string failure;  // the icon cannot be written, and why
    int undecodable = 0;  // stored sizes that cannot be decoded
    bool noImage = false; // no stored size could be drawn
};

// One icon read and encoded, not yet named: its number comes with its turn.
struct PreparedIcon {
    std::string failure;                // the icon cannot be written, and why
    std::optional<Encoded> encoded;     // the one file of a fixed size
    std::optional<NativeImages> native; // every stored size, or the icon-theme sizes
    std::vector<ExportContents> pngs;   // each native image as PNG
    std::uint64_t bytes = 0;            // encoded in all
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
                // Encoded when the icon is named; held until then as pixels.
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

// A prepared icon named by its number: the file (or files) it writes. The
// icon-theme tree takes the sizes it knows, each in its folder, made here so
// that the file's turn has only to write it.
std::vector<PreparedExportFile> iconFiles(PreparedIcon& icon, const ExportOptions& options, int n,
                                          const std::string& key, IconNotes& notes)
{
    std::vector<PreparedExportFile> files;
    const ExportFile numbered{{}, static_cast<std::size_t>(n), key};
    const auto add = [&](std::string path, ExportContents contents) {
        ExportFile file = numbered;
        file.path = std::move(path);
        files.push_back(PreparedExportFile{std::move(file), std::move(contents)});
    };
    if (!icon.failure.empty()) {
        notes.failure = std::move(icon.failure);
        return files;
    }
    if (icon.encoded) {
        add(joinPath(options.outDir, batchFileName(options.prefix, icon.encoded->kind, n)),
            std::move(icon.encoded->bytes));
        return files;
    }
    const NativeImages& native = *icon.native;
    notes.undecodable = native.undecodable;
    notes.noImage = native.images.empty();
    if (options.format != ExportFormat::Hicolor) {
        notes.sizes = IconNotes::Sizes::EveryStored;
        for (std::size_t at = 0; at < native.images.size(); ++at) {
            const ImageHeader& header = native.images[at].header;
            add(joinPath(options.outDir, nativePngName(options.prefix, n, header.width, header.height)),
                std::move(icon.pngs[at]));
        }
        return files;
    }
    notes.sizes = IconNotes::Sizes::IconTheme;
    const std::string name = options.prefix + "_" + std::to_string(n);
    for (const int size : kHicolorSizes) {
        const auto image = std::ranges::find_if(native.images, [size](const NativeImage& i) {
            return i.header.width == size && i.header.height == size;
        });
        if (image == native.images.end())
            continue;
        std::string path = hicolorFile(options.outDir, size, name);
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
        add(std::move(path),
            error ? ExportContents(std::unexpected("cannot make the folder: " + error.message()))
                  : encodePng(image->pixels));
    }
    return files;
}

// A source read and its first icons prepared: as many as its allowance lets
// be written, so a worker holds no more than the export could write. The
// source is kept only while icons are left to prepare: a container's
// members wait together to be written, and holding each member's bytes
// until then would hold the whole container. An icon left unprepared (a
// write failed, so the allowance goes further) is prepared at its turn,
// one at a time: a source keeps a read cache of its own.
struct SharedSource {
    explicit SharedSource(IconSource read) : source(std::move(read)) {}
    std::mutex mutex;
    IconSource source;
};

// A file whose icons could not be read may still hold cursors (an animated
// cursor whose first frame the icon reader refuses, one of raw frames): a
// container's member is kept for them by the producer, a file of its own is
// opened again.
struct CursorBytes {
    std::shared_ptr<const IconSource> member;
    std::optional<FileSource> file;
    const ByteSource& bytes() const { return member ? member->bytes() : *file; }
};

std::optional<CursorBytes> cursorBytesOfUnreadIcons(const ProducedSource& source)
{
    if (source.refused)
        return CursorBytes{source.refused, std::nullopt};
    const auto& failure = source.source.error();
    if (!source.origin.members.empty() || !failure.read || failure.read->reason == ReadError::OpenFailed ||
        failure.read->reason == ReadError::NotRegularFile)
        return std::nullopt;
    auto file = FileSource::open(source.origin.path);
    if (!file)
        return std::nullopt;
    return CursorBytes{nullptr, std::move(*file)};
}

// A cursor read for export, or why it could not be.
using ReadCursor = std::expected<Cursor, std::string>;

struct ReadSource {
    IconOrigin origin;
    std::string failure; // the source cannot be read, and why
    int count = 0;
    std::uint64_t size = 0;
    std::shared_ptr<SharedSource> source = {}; // while icons are left unprepared
    std::vector<std::shared_ptr<PreparedIcon>> icons = {};
    std::vector<std::shared_ptr<const ReadCursor>> cursors = {}; // export --cursors
};

// The cursors of a source, as list --cursors finds them: a file that holds
// none has none, a broken one is a failure, and a cursor that cannot be read
// keeps its place and its number.
ReadSource readCursorSource(ProducedSource& input)
{
    ReadSource read{input.origin, {}, 0, 0};
    std::optional<CursorBytes> unread;
    if (!input.source) {
        unread = cursorBytesOfUnreadIcons(input);
        if (!unread) {
            read.failure = describe(input.source.error());
            return read;
        }
    }
    const ByteSource& bytes = unread ? unread->bytes() : input.source->bytes();
    read.size = bytes.size();
    auto found = readCursors(bytes);
    if (!found) {
        if (found.error().read.reason != ReadError::NotIconSource)
            read.failure = describe(found.error());
        return read;
    }
    for (FoundCursor& one : *found)
        read.cursors.push_back(std::make_shared<const ReadCursor>(
            one.cursor ? ReadCursor(std::move(*one.cursor)) : std::unexpected(describe(one.cursor.error()))));
    read.count = static_cast<int>(read.cursors.size());
    return read;
}

CursorFileFormat cursorFormatOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Cur: return CursorFileFormat::Cur;
    case ExportFormat::Ani: return CursorFileFormat::Ani;
    case ExportFormat::Png: return CursorFileFormat::Png;
    default: return CursorFileFormat::Xcursor;
    }
}

ReadSource readSource(ProducedSource& input, const ExportOptions& options)
{
    ReadSource read{std::move(input.origin), {}, 0, 0};
    if (!input.source) {
        read.failure = describe(input.source.error());
        return read;
    }
    const IconSource& source = *input.source;
    read.count = source.count();
    read.size = source.size();
    WriteAllowance allowance(source.size());
    for (int i = 0; i < read.count && !allowance.spent(); ++i) {
        read.icons.push_back(std::make_shared<PreparedIcon>(prepareIcon(source, i, options)));
        allowance.charge(read.icons.back()->bytes);
    }
    if (read.icons.size() < static_cast<std::size_t>(read.count))
        read.source = std::make_shared<SharedSource>(std::move(*input.source));
    return read;
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
        std::string lines; // KEY<TAB>ENTRY32<TAB>ENTRY16, or a JSON object, per icon (or cursor)
        int icons = 0;
        std::string failure;
        std::vector<std::string> problems = {}; // cursors that could not be read: "KEY: REASON"
    };
    int icons = 0, files = 0;
    bool failed = false;
    const bool allRead = readInputFiles<std::vector<Listed>>(
        command, err, readAhead(command),
        [&command](InputFile& input) {
            return readInputSources<Listed>(input, command, [&command](ProducedSource source) {
                Listed listed{source.origin, {}, 0, {}};
                if (command.cursors && !source.source)
                    if (auto unread = cursorBytesOfUnreadIcons(source)) {
                        CursorListing listing = listCursors(source.origin, unread->bytes(), command.json,
                                                            command.exportOptions.cursorSizes);
                        listed.lines = std::move(listing.lines);
                        listed.icons = listing.cursors;
                        listed.problems = std::move(listing.problems);
                        return listed;
                    }
                if (!source.source) {
                    listed.failure = describe(source.source.error());
                    return listed;
                }
                if (command.cursors) {
                    CursorListing listing = listCursors(source.origin, source.source->bytes(), command.json,
                                                        command.exportOptions.cursorSizes);
                    listed.lines = std::move(listing.lines);
                    listed.icons = listing.cursors;
                    listed.problems = std::move(listing.problems);
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
                for (const std::string& problem : listed.problems) {
                    err << "glimmerbox-cli: " << problem << '\n';
                    failed = true;
                }
            }
        });
    err << icons << (command.cursors ? " cursors in " : " icons in ") << files << " files\n";
    return failed || !allRead ? kExitSomeFailed : kExitOk;
}

int runExport(const Command& command, std::ostream& out, std::ostream& err, const StageStep& stage)
{
    const ExportOptions& options = command.exportOptions;
    if (const auto problem = makeFolders(options.outDir)) {
        err << "glimmerbox-cli: cannot make the output folder " << escapeText(*problem) << '\n';
        return kExitSomeFailed;
    }

    // Files are read and their first icons encoded on every core, the icons
    // named (and any left encoded) on every core; they are numbered, written
    // and told here, in list order. Each icon's line waits beside it until
    // its files are in place.
    const CursorExportOptions cursorOptions{cursorFormatOf(options.format), options.cursorSizes,
                                            options.prefix, options.outDir};
    std::deque<ExportLine> lines;
    ExportTeller teller(out, err);
    std::size_t sources = 0; // each source's allowance is its own; a line alone has none
    int n = 0;
    const auto feed = [&](const ExportSubmit& submit) {
        const auto alone = [&](ExportLine line) {
            lines.push_back(std::move(line));
            submit(ExportItem{{}, {}, ++sources, 0, [] { return std::vector<PreparedExportFile>{}; }});
        };
        const auto deliver = [&](std::vector<ReadSource>& all) {
            for (ReadSource& read : all) {
                const std::string path = read.origin.memberPath();
                if (!read.failure.empty()) {
                    alone(ExportLine{ExportLine::Kind::UnreadableSource, path, {}, std::move(read.failure)});
                    continue;
                }
                const std::size_t source = ++sources;
                // Each icon's (or cursor's) line, numbered in list order even
                // past one that fails, with the notes its files will leave.
                const auto lineOf = [&](int i, const std::string& key) {
                    ++n;
                    auto notes = std::make_shared<IconNotes>();
                    lines.push_back(ExportLine{ExportLine::Kind::Icon,
                                               path,
                                               key,
                                               {},
                                               0,
                                               source,
                                               i,
                                               read.count,
                                               n,
                                               WriteAllowance(read.size).total(),
                                               notes});
                    return notes;
                };
                for (int i = 0; command.cursors && i < read.count; ++i) {
                    std::string key = keyOf(read.origin, i);
                    auto notes = lineOf(i, key);
                    submit(ExportItem{{},
                                      {},
                                      source,
                                      read.size,
                                      [cursor = read.cursors[static_cast<std::size_t>(i)], n = n,
                                       key = std::move(key), &cursorOptions, notes] {
                                          if (!*cursor) {
                                              notes->failure = cursor->error();
                                              return std::vector<PreparedExportFile>{};
                                          }
                                          return cursorFiles(**cursor, cursorOptions, n, key);
                                      }});
                }
                for (int i = 0; !command.cursors && i < read.count; ++i) {
                    std::string key = keyOf(read.origin, i);
                    auto notes = lineOf(i, key);
                    const auto at = static_cast<std::size_t>(i);
                    auto made = at < read.icons.size() ? std::move(read.icons[at]) : nullptr;
                    submit(ExportItem{{},
                                      {},
                                      source,
                                      read.size,
                                      [made = std::move(made), shared = read.source, i, n = n,
                                       key = std::move(key), &options, notes] {
                                          PreparedIcon icon;
                                          if (made) {
                                              icon = std::move(*made);
                                          } else {
                                              const std::lock_guard lock(shared->mutex);
                                              icon = prepareIcon(shared->source, i, options);
                                          }
                                          return iconFiles(icon, options, n, key, *notes);
                                      },
                                      // An icon-theme tree asks the allowance once, before it.
                                      options.format != ExportFormat::Hicolor});
                }
            }
        };
        readInputFiles<std::vector<ReadSource>>(
            command, err, readAhead(command),
            [&command, &options](InputFile& input) {
                return readInputSources<ReadSource>(
                    input, command, [&command, &options](ProducedSource source) {
                        return command.cursors ? readCursorSource(source) : readSource(source, options);
                    });
            },
            deliver,
            [&](const std::string& folder, int error) {
                alone(ExportLine{ExportLine::Kind::UnreadableFolder, folder, {}, {}, error});
            });
    };
    // The reading workers have prepared each icon already (all but those
    // past a source's allowance): one worker names and hands them on, where
    // more would only take turns with the readers.
    ExportRun(ExportPolicy{ExportPolicy::OnFailure::StopAtFullDisk, ExportPolicy::Allowance::PerInput}, 1,
              stage)
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
    case Command::Kind::CursorTheme: return runCursorTheme(*command, out, err);
    }
    return kExitUsage;
}

} // namespace gb::cli
