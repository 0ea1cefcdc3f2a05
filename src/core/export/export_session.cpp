#include "core/export/export_session.h"

#include <algorithm>
#include <sys/stat.h>
#include <utility>

namespace gb {

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A folder a group writes into, and what syncing its file system came to.
struct GroupFolder {
    std::string folder;
    std::string firstFile; // the group's first file there
    std::expected<void, WriteFailure> synced;
};

} // namespace

std::expected<StagedFile, WriteFailure> stageForGroupSync(const std::string& path,
                                                          std::span<const std::byte> contents)
{
    return stageFile(path, contents, Sync::Later);
}

std::size_t ExportReport::count(ExportOutcome outcome) const
{
    return static_cast<std::size_t>(std::count_if(
        files.begin(), files.end(), [outcome](const ExportResult& r) { return r.outcome == outcome; }));
}

std::size_t ExportReport::failed() const
{
    return count(ExportOutcome::NotPrepared) + count(ExportOutcome::NotWritten) +
           count(ExportOutcome::NotTried);
}

const ExportResult* ExportReport::firstFailure() const
{
    const auto found = std::find_if(files.begin(), files.end(), [](const ExportResult& r) {
        return r.outcome == ExportOutcome::NotPrepared || r.outcome == ExportOutcome::NotWritten;
    });
    return found == files.end() ? nullptr : &*found;
}

ExportSession::ExportSession(Report report, StageStep stage)
    : report_(std::move(report)), stage_(std::move(stage))
{
}

std::expected<void, WriteFailure> ExportSession::add(ExportFile file, std::span<const std::byte> contents)
{
    auto staged = stage_(file.path, contents);
    if (!staged) {
        done_.files.push_back(ExportResult{std::move(file), ExportOutcome::NotWritten, {}, staged.error()});
        return std::unexpected(std::move(staged.error()));
    }
    stagedSlots_.push_back(done_.files.size());
    done_.files.push_back(ExportResult{file, ExportOutcome::Written, {}, {}});
    staged_.emplace_back(std::move(file), std::move(*staged));
    if (staged_.size() == kFilesPerSync)
        commitGroup();
    return {};
}

ExportReport ExportSession::finish()
{
    commitGroup();
    return std::exchange(done_, ExportReport{});
}

void ExportSession::commitGroup()
{
    if (staged_.empty())
        return;
    // Each file must be on disk before its rename, or a power loss could
    // leave the name on an empty file: a small group syncs each file, a
    // larger one each file system its folders are on, once.
    std::vector<GroupFolder> folders;
    std::vector<std::size_t> folderOfFile;
    for (const auto& [file, staged] : staged_) {
        std::string folder = folderOf(staged.path());
        const auto known = std::find_if(folders.begin(), folders.end(),
                                        [&](const GroupFolder& f) { return f.folder == folder; });
        folderOfFile.push_back(static_cast<std::size_t>(known - folders.begin()));
        if (known == folders.end())
            folders.push_back(GroupFolder{std::move(folder), staged.path(), {}});
    }
    std::vector<std::expected<void, WriteFailure>> synced(staged_.size());
    if (staged_.size() <= kFilesSyncedEach) {
        for (std::size_t i = 0; i < staged_.size(); ++i)
            synced[i] = syncStagedFile(staged_[i].second);
    } else {
        std::vector<std::pair<dev_t, const GroupFolder*>> systems;
        for (GroupFolder& folder : folders) {
            struct stat info {};
            const bool known = ::stat(folder.folder.empty() ? "." : folder.folder.c_str(), &info) == 0;
            const auto same = std::find_if(systems.begin(), systems.end(),
                                           [&](const auto& s) { return known && s.first == info.st_dev; });
            if (same != systems.end()) {
                folder.synced = same->second->synced;
                continue;
            }
            folder.synced = syncStagedFiles(folder.folder);
            if (known)
                systems.emplace_back(info.st_dev, &folder);
        }
        for (std::size_t i = 0; i < staged_.size(); ++i)
            synced[i] = folders[folderOfFile[i]].synced;
    }

    for (std::size_t i = 0; i < staged_.size(); ++i) {
        auto& [file, staged] = staged_[i];
        const auto result = synced[i] ? commitStagedFile(staged) : synced[i];
        if (!result) {
            ExportResult& slot = done_.files[stagedSlots_[i]];
            slot.outcome = ExportOutcome::NotWritten;
            slot.failure = result.error();
        }
        if (report_)
            report_(file, result);
    }
    for (const GroupFolder& folder : folders)
        syncFolder(folder.firstFile);
    staged_.clear();
    stagedSlots_.clear();
}

std::expected<void, WriteFailure> exportOneFile(const std::string& path, std::span<const std::byte> contents)
{
    ExportSession session({});
    if (auto staged = session.add(ExportFile{path, 0, {}}, contents); !staged)
        return staged;
    const ExportReport report = session.finish();
    if (const ExportResult* failed = report.firstFailure())
        return std::unexpected(failed->failure);
    return {};
}

} // namespace gb
