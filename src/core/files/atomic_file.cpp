#include "core/files/atomic_file.h"

#include "core/text/system_error_text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace gb {

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return path.substr(0, slash + 1);
}

WriteFailure failure(int error, const std::string& what, const std::string& path)
{
    return WriteFailure{error, what + ": " + systemErrorText(error), writeProblemOf(error, path)};
}

// A hidden name beside the target, so the rename never crosses file systems.
std::string temporaryName(const std::string& path)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    return folderOf(path) + ".glimmerbox-" + suffix + ".tmp";
}

bool writeAll(int fd, std::span<const std::byte> contents)
{
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The rename is on disk only once the folder is. A folder that cannot be
// opened or synced (some file systems refuse) leaves the file written all
// the same, so this is not a failure.
void syncFolderOf(const std::string& path)
{
    const std::string folder = folderOf(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

WriteProblem writeProblemOf(int error, const std::string& path)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: {
        const std::string folder = folderOf(path);
        struct stat st {};
        if (::stat(folder.empty() ? "." : folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return WriteProblem::NoNewFiles;
        return WriteProblem::FolderMissing;
    }
    case EACCES:
    case EPERM:
    case EROFS: return WriteProblem::Denied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return WriteProblem::Full;
    default: return WriteProblem::Other;
    }
}

StagedFile::~StagedFile()
{
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : path_(std::move(other.path_)), temporary_(std::exchange(other.temporary_, {}))
{
}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept
{
    if (this != &other) {
        if (!temporary_.empty())
            ::unlink(temporary_.c_str());
        path_ = std::move(other.path_);
        temporary_ = std::exchange(other.temporary_, {});
    }
    return *this;
}

std::expected<StagedFile, WriteFailure> stageFile(const std::string& path,
                                                  std::span<const std::byte> contents, Sync sync)
{
    // A write-protected file keeps its content: replacing it by rename
    // would get round the protection the user set. A link is looked at
    // itself, not through: it is replaced, and what it points to is not ours.
    struct stat existing {};
    const bool exists = ::lstat(path.c_str(), &existing) == 0;
    const bool regularFile = exists && S_ISREG(existing.st_mode);
    if (regularFile && ::access(path.c_str(), W_OK) != 0)
        return std::unexpected(failure(errno, "cannot replace a write-protected file", path));

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary = temporaryName(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return std::unexpected(failure(errno, "cannot create a file in the folder", path));
    }
    if (fd < 0)
        return std::unexpected(failure(EEXIST, "cannot create a temporary file", path));

    const auto abandon = [&](int error, const char* what) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return std::unexpected(failure(error, what, path));
    };
    if (!writeAll(fd, contents))
        return abandon(errno, "cannot write");
    // The file replaced keeps the permissions its owner gave it.
    if (regularFile && ::fchmod(fd, existing.st_mode & 0777) != 0)
        return abandon(errno, "cannot keep the permissions");
    if (sync == Sync::Now && ::fsync(fd) != 0)
        return abandon(errno, "cannot write");
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return std::unexpected(failure(error, "cannot write", path));
    }
    StagedFile staged;
    staged.path_ = path;
    staged.temporary_ = std::move(temporary);
    return staged;
}

std::expected<void, WriteFailure> writeFileInStagedFolder(const std::string& path,
                                                          std::span<const std::byte> contents)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::unexpected(failure(errno, "cannot create a file in the folder", path));
    if (!writeAll(fd, contents)) {
        const int error = errno;
        ::close(fd);
        return std::unexpected(failure(error, "cannot write", path));
    }
    if (::close(fd) != 0)
        return std::unexpected(failure(errno, "cannot write", path));
    return {};
}

std::expected<void, WriteFailure> syncStagedFiles(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(failure(errno, "cannot open the folder", folder + "/"));
    const bool synced = ::syncfs(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        return std::unexpected(failure(error, "cannot write", folder + "/"));
    return {};
}

std::expected<void, WriteFailure> syncStagedFile(const StagedFile& staged)
{
    const int fd = ::open(staged.temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(failure(errno, "cannot write", staged.path_));
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        return std::unexpected(failure(error, "cannot write", staged.path_));
    return {};
}

std::expected<void, WriteFailure> commitStagedFile(StagedFile& staged)
{
    if (::rename(staged.temporary_.c_str(), staged.path_.c_str()) != 0)
        return std::unexpected(failure(errno, "cannot replace", staged.path_));
    staged.temporary_.clear();
    return {};
}

void syncFolder(const std::string& path)
{
    syncFolderOf(path);
}

std::expected<void, WriteFailure> writeFileAtomically(const std::string& path,
                                                      std::span<const std::byte> contents)
{
    auto staged = stageFile(path, contents, Sync::Now);
    if (!staged)
        return std::unexpected(staged.error());
    if (auto committed = commitStagedFile(*staged); !committed)
        return committed;
    syncFolderOf(path);
    return {};
}

} // namespace gb
