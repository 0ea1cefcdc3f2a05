#pragma once
// Every export writes its files one way: a session. Each file is staged
// beside its destination as it is added, the file system is synced once per
// group of files (kFilesPerSync, and once more when the session finishes)
// instead of once per file, then the group's files are renamed into place,
// in the order they were added, and their folders synced.
//
// A caller encodes each file just before adding it: the session writes the
// bytes at once and keeps only the staged file's name, so no export holds
// more than the one encoded file being added.
//
// What becomes of each file is said once. A file that cannot be staged is
// refused by add() at once, so that a caller can stop at a full disk; a file
// staged is reported when its group is renamed into place (or fails the
// sync or its rename), files in the order they were added. finish() returns
// the same, refusals included, as one ordered report.

#include "core/export/export_file.h"
#include "core/export/export_report.h"
#include "core/files/atomic_file.h"

#include <cstddef>
#include <expected>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace gb {

// How a file is staged: stageFile without a sync of its own, or in tests a
// fake (one that finds the disk full, say).
using StageStep = std::function<std::expected<StagedFile, WriteFailure>(const std::string& path,
                                                                        std::span<const std::byte> contents)>;
std::expected<StagedFile, WriteFailure> stageForGroupSync(const std::string& path,
                                                          std::span<const std::byte> contents);

class ExportSession {
public:
    static constexpr std::size_t kFilesPerSync = 256;
    // A group this small syncs its files one by one: cheaper than a sync of
    // the whole file system, which also waits for every other program's writes.
    static constexpr std::size_t kFilesSyncedEach = 4;

    using Report =
        std::function<void(const ExportFile& file, const std::expected<void, WriteFailure>& result)>;

    explicit ExportSession(Report report, StageStep stage = stageForGroupSync);
    // Files staged and never finished are removed; none of them is renamed.
    ~ExportSession() = default;
    ExportSession(const ExportSession&) = delete;
    ExportSession& operator=(const ExportSession&) = delete;

    // Stages the file; with it a group may be complete and go into place.
    // A file that could not be staged is refused here and not reported.
    std::expected<void, WriteFailure> add(ExportFile file, std::span<const std::byte> contents);
    // Puts the files staged so far into place and returns what became of
    // every file added since the last finish, in the order added (written
    // or not written); the session may take more.
    ExportReport finish();

private:
    void commitGroup();

    Report report_;
    StageStep stage_;
    std::vector<std::pair<ExportFile, StagedFile>> staged_;
    // Results in the order added; a staged file's slot is filled when its
    // group goes into place.
    ExportReport done_;
    std::vector<std::size_t> stagedSlots_;
};

// One file by itself, through a session of its own: written, or why not.
std::expected<void, WriteFailure> exportOneFile(const std::string& path, std::span<const std::byte> contents);

} // namespace gb
