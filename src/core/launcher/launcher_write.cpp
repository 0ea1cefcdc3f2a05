// Writing a launcher, all of it or nothing: its icons first and its entry
// last (a menu that sees the entry finds its icons in place), each file
// atomically; when one cannot be put into place, the files this write put
// there go again, the ones they replaced come back, and the folders it
// made are removed.

#include "core/bytes/file_source.h"
#include "core/export/export_session.h"
#include "core/export/native_sizes.h"
#include "core/launcher/launcher.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <random>
#include <unistd.h>

namespace gb {

namespace {

namespace fs = std::filesystem;

LauncherError writeFailure(const std::string& path, WriteFailure write)
{
    LauncherError error{LauncherProblem::WriteFailed, path, {}, std::nullopt, std::nullopt};
    error.write = std::move(write);
    return error;
}

// The folders missing on the way to `folder`, made outermost first and
// added to `made` as they are.
std::error_code makeFolders(const fs::path& folder, std::vector<fs::path>& made)
{
    std::vector<fs::path> missing;
    std::error_code ignored;
    for (fs::path f = folder; !f.empty() && !fs::exists(fs::symlink_status(f, ignored));
         f = f.parent_path()) {
        missing.push_back(f);
        if (f == f.parent_path())
            break;
    }
    for (auto f = missing.rbegin(); f != missing.rend(); ++f) {
        std::error_code error;
        if (fs::create_directory(*f, error))
            made.push_back(*f);
        else if (error)
            return error;
    }
    return {};
}

// What the destinations held before the write, each under a second,
// hidden name beside it (a hard link: the same file, its owner and
// permissions kept, at no cost in space), so that a write that fails can
// put it back. The second names are of a fixed length, so a destination
// whose name fits has a second name that fits too.
class FormerFiles {
public:
    FormerFiles() = default;
    FormerFiles(const FormerFiles&) = delete;
    FormerFiles& operator=(const FormerFiles&) = delete;
    ~FormerFiles() { drop(); }

    // Nothing is kept when nothing is there, when a folder is there (the
    // write will fail and leave it as it is), or when the file system has
    // no hard links: then the file cannot come back.
    void keep(const std::string& destination)
    {
        static thread_local std::mt19937_64 random{std::random_device{}()};
        const std::string folder = fs::path(destination).parent_path().string();
        for (int attempt = 0; attempt < 8; ++attempt) {
            char name[40];
            std::snprintf(name, sizeof name, ".glimmerbox-%016llx.kept",
                          static_cast<unsigned long long>(random()));
            const std::string second = (fs::path(folder) / name).string();
            // Without AT_SYMLINK_FOLLOW a symbolic link is kept as itself.
            if (::linkat(AT_FDCWD, destination.c_str(), AT_FDCWD, second.c_str(), 0) == 0) {
                kept_.emplace_back(destination, second);
                return;
            }
            if (errno != EEXIST)
                return;
        }
    }

    // The former file back at `destination`, or nothing there when it had none.
    void putBack(const std::string& destination)
    {
        const auto former =
            std::ranges::find(kept_, destination, &std::pair<std::string, std::string>::first);
        if (former == kept_.end()) {
            ::unlink(destination.c_str());
        } else {
            ::rename(former->second.c_str(), destination.c_str());
            kept_.erase(former);
        }
        syncFolder(destination);
    }

    // The former files are needed no more: their second names go.
    void drop()
    {
        for (const auto& [destination, second] : kept_)
            ::unlink(second.c_str());
        kept_.clear();
    }

private:
    std::vector<std::pair<std::string, std::string>> kept_; // destination, second name
};

bool holds(const std::string& file, std::span<const std::byte> bytes)
{
    auto source = FileSource::open(file);
    if (!source || source->size() != bytes.size())
        return false;
    const std::vector<std::byte> held = source->readAll();
    return std::ranges::equal(held, bytes);
}

// Whether the launcher on disk is the planned one already: the entry and
// each icon, and no icon of another size.
bool alreadyWritten(const LauncherPlan& plan, const std::string& iconName)
{
    if (!holds(plan.desktopFile, std::as_bytes(std::span(plan.desktopEntry))))
        return false;
    for (const int size : kHicolorSizes) {
        const std::string file = hicolorFile(plan.iconsFolder, size, iconName);
        const auto image = std::ranges::find(plan.images, size, &LauncherImage::size);
        std::error_code error;
        if (image == plan.images.end() ? fs::exists(fs::symlink_status(file, error))
                                       : !holds(file, image->png))
            return false;
    }
    return true;
}

// What is at the entry's place: nothing, an entry of the same source, or
// one this write may not replace (its source in words, or "" when it is
// not this tool's).
std::expected<LauncherOutcome, LauncherError> placeOf(const LauncherPlan& plan, const std::string& iconName)
{
    std::error_code error;
    if (!fs::exists(fs::symlink_status(plan.desktopFile, error)))
        return LauncherOutcome::New;
    const auto own = ownEntryAt(plan.desktopFile);
    const bool same = own && own->source == plan.source && own->prefix == plan.prefix;
    if (!same && !plan.force)
        return std::unexpected(LauncherError{LauncherProblem::TakenByOther, plan.desktopFile,
                                             own ? own->source : std::string(), std::nullopt, std::nullopt});
    if (same && alreadyWritten(plan, iconName))
        return LauncherOutcome::Unchanged;
    return LauncherOutcome::Replaced;
}

} // namespace

namespace {

// One launcher of a write: what is there before, the files it writes, and
// what becomes of them.
struct Pending {
    const LauncherPlan* plan = nullptr;
    std::string iconName;
    LauncherOutcome place = LauncherOutcome::New;
    std::vector<const OwnEntry*> otherNames; // entries of the same source under another name
    std::vector<std::byte> entryBytes;
    std::vector<std::pair<std::string, std::span<const std::byte>>> files; // icons first, the entry last
    std::vector<fs::path> made;                                            // folders this launcher made
    std::unique_ptr<FormerFiles> former = std::make_unique<FormerFiles>();
    std::vector<std::string> placed;
    std::optional<LauncherError> failed;
    std::optional<LauncherWritten> done; // decided before anything is written
};

void removeFolders(std::vector<fs::path>& made)
{
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder) {
        std::error_code ignored;
        fs::remove(*folder, ignored);
    }
    made.clear();
}

// Decides what the launcher writes, makes its folders, and keeps what its
// files replace; `done` or `failed` when nothing is to be written.
void prepare(Pending& pending)
{
    const LauncherPlan& plan = *pending.plan;
    pending.iconName = std::string(kLauncherFilePrefix) + plan.name;
    const auto place = placeOf(plan, pending.iconName);
    if (!place) {
        pending.failed = place.error();
        return;
    }
    pending.place = *place;
    // Entries of the same source under another name: one source, one launcher.
    for (const OwnEntry& own : plan.sameSource)
        if (own.name != plan.name)
            pending.otherNames.push_back(&own);
    if (*place == LauncherOutcome::Unchanged && pending.otherNames.empty()) {
        pending.done = LauncherWritten{plan.desktopFile, LauncherOutcome::Unchanged};
        return;
    }
    for (const LauncherImage& image : plan.images)
        pending.files.emplace_back(hicolorFile(plan.iconsFolder, image.size, pending.iconName), image.png);
    const auto entry = std::as_bytes(std::span(plan.desktopEntry));
    pending.entryBytes.assign(entry.begin(), entry.end());
    pending.files.emplace_back(plan.desktopFile, pending.entryBytes);
    for (const auto& [file, bytes] : pending.files) {
        const fs::path folder = fs::path(file).parent_path();
        if (const std::error_code error = makeFolders(folder, pending.made)) {
            removeFolders(pending.made);
            pending.failed = writeFailure(folder.string(), WriteFailure{error.value(), error.message(),
                                                                        writeProblemOf(error.value(), file)});
            return;
        }
    }
    for (const auto& [file, bytes] : pending.files)
        pending.former->keep(file);
}

// After the files are in place: a launcher that failed is taken back whole;
// one that was written loses its icons of sizes it no longer has and its
// entries under other names.
std::expected<LauncherWritten, LauncherError> conclude(Pending& pending)
{
    if (pending.done)
        return *pending.done;
    const LauncherPlan& plan = *pending.plan;
    if (pending.failed) {
        for (auto file = pending.placed.rbegin(); file != pending.placed.rend(); ++file)
            pending.former->putBack(*file);
        pending.former->drop();
        removeFolders(pending.made);
        return std::unexpected(std::move(*pending.failed));
    }
    pending.former->drop();
    for (const int size : kHicolorSizes)
        if (std::ranges::none_of(plan.images, [size](const LauncherImage& i) { return i.size == size; })) {
            std::error_code ignored;
            fs::remove(hicolorFile(plan.iconsFolder, size, pending.iconName), ignored);
        }
    for (const OwnEntry* other : pending.otherNames)
        removeOwnEntry(*other, plan.iconsFolder);
    const bool replaced = pending.place != LauncherOutcome::New || !pending.otherNames.empty();
    return LauncherWritten{plan.desktopFile, replaced ? LauncherOutcome::Replaced : LauncherOutcome::New};
}

} // namespace

std::vector<std::expected<LauncherWritten, LauncherError>> writeLaunchers(std::span<const LauncherPlan> plans)
{
    std::vector<Pending> pending(plans.size());
    for (std::size_t i = 0; i < plans.size(); ++i) {
        pending[i].plan = &plans[i];
        prepare(pending[i]);
    }
    {
        // One session for them all: their files are synced together, once,
        // before any takes its name. A file that cannot be staged is refused
        // alone; its launcher is then taken back whole once the others are
        // in place.
        ExportSession session({});
        std::vector<std::size_t> owners; // the launcher of each file staged, in order
        for (std::size_t i = 0; i < pending.size(); ++i) {
            Pending& one = pending[i];
            if (one.failed || one.done)
                continue;
            for (const auto& [file, bytes] : one.files) {
                if (auto staged = session.add(ExportFile{file, 0, {}}, bytes); !staged) {
                    one.failed = writeFailure(file, staged.error());
                    break;
                }
                owners.push_back(i);
            }
        }
        const ExportReport report = session.finish();
        for (std::size_t k = 0; k < report.files.size() && k < owners.size(); ++k) {
            Pending& one = pending[owners[k]];
            const ExportResult& result = report.files[k];
            if (result.outcome == ExportOutcome::Written)
                one.placed.push_back(result.file.path);
            else if (!one.failed)
                one.failed = writeFailure(result.file.path, result.failure);
        }
    }
    std::vector<std::expected<LauncherWritten, LauncherError>> results;
    results.reserve(pending.size());
    for (Pending& one : pending)
        results.push_back(conclude(one));
    return results;
}

std::expected<LauncherWritten, LauncherError> writeLauncher(const LauncherPlan& plan)
{
    return std::move(writeLaunchers(std::span(&plan, 1)).front());
}

} // namespace gb
