#pragma once
// Writing a file so that it is either the old file or the new one, never
// half of either: a temporary file in the same folder, synced, then renamed
// over the destination, then the folder synced, so that after a power loss
// the name holds the old content or the whole new one.
//
// An existing destination keeps its permission bits. A symbolic link at the
// destination is replaced by the new file; the file it pointed to is left
// as it was.

#include <cstddef>
#include <expected>
#include <span>
#include <string>

namespace gb {

// What a window tells the user, in the user's own words.
enum class WriteProblem {
    FolderMissing, // the destination's folder does not exist
    Denied,        // no permission, a read-only file system or a write-protected file
    Full,          // no space left, or a quota
    NoNewFiles,    // the folder exists but takes no new files (/proc, say)
    Other,         // a folder in the way, an I/O error, ...
};

struct WriteFailure {
    int systemError = 0; // errno
    std::string message; // what failed, for programmers and scripts
    WriteProblem problem = WriteProblem::Other;
};

// The problem an errno stands for when writing `path`. ENOENT reads as a
// missing folder only when the folder really is missing.
WriteProblem writeProblemOf(int error, const std::string& path);

std::expected<void, WriteFailure> writeFileAtomically(const std::string& path,
                                                      std::span<const std::byte> contents);

// The same in steps, for many files at once (the batches): each file is
// staged beside its destination, one sync of the file system then stands
// for a sync of each, and only then are they renamed into place. A staged
// file that is never committed is removed.
enum class Sync { Now, Later };
class StagedFile;
std::expected<StagedFile, WriteFailure> stageFile(const std::string& path,
                                                  std::span<const std::byte> contents, Sync sync);
std::expected<void, WriteFailure> commitStagedFile(StagedFile& staged);

class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::string& path() const { return path_; }

private:
    friend std::expected<StagedFile, WriteFailure> stageFile(const std::string&, std::span<const std::byte>,
                                                             Sync);
    friend std::expected<void, WriteFailure> commitStagedFile(StagedFile& staged);
    friend std::expected<void, WriteFailure> syncStagedFile(const StagedFile& staged);
    std::string path_;
    std::string temporary_; // empty once committed
};

// A new file in a folder no other program sees yet (a staged folder that
// is renamed into place whole): written under its own name, with no
// temporary or rename, and synced with the rest by syncStagedFiles.
std::expected<void, WriteFailure> writeFileInStagedFolder(const std::string& path,
                                                          std::span<const std::byte> contents);

// Syncs the file system `folder` is on, and with it every file staged there.
std::expected<void, WriteFailure> syncStagedFiles(const std::string& folder);
// Syncs one staged file, for a few files where a sync of the whole file
// system would also wait for every other program's writes.
std::expected<void, WriteFailure> syncStagedFile(const StagedFile& staged);
// Puts the renames done in the folder of `path` on disk.
void syncFolder(const std::string& path);

} // namespace gb
