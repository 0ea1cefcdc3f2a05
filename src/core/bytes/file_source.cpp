#include "core/bytes/file_source.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace gb {

FileSource::FileSource(FileSource&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0))
{
}

FileSource& FileSource::operator=(FileSource&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

FileSource::~FileSource()
{
    if (fd_ >= 0)
        ::close(fd_);
}

// O_NOCTTY and O_NONBLOCK only as a second line: what is opened for reading
// has already been seen to be a regular file.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

namespace {

// The regular file `name` of `folderFd` opened for reading, and nothing else
// ever opened: an O_PATH descriptor reaches the file without calling a
// driver's open (a new pseudo-terminal for /dev/ptmx, the DTR pulse that
// resets a board on a serial port, the wait of a FIFO for its writer), fstat
// tells what it is, and only a regular file is then opened, through that
// descriptor, so the file read is the file checked.
int openRegularAt(int folderFd, const char* name, ReadFailure& failure)
{
    const int pathFd = ::openat(folderFd, name, O_PATH | O_CLOEXEC);
    if (pathFd < 0) {
        failure = ReadFailure{ReadError::OpenFailed, 0, errno};
        return -1;
    }
    struct stat checked {};
    if (::fstat(pathFd, &checked) != 0) {
        failure = ReadFailure{ReadError::OpenFailed, 0, errno};
        ::close(pathFd);
        return -1;
    }
    if (!S_ISREG(checked.st_mode)) {
        failure = ReadFailure{ReadError::NotRegularFile, 0, 0};
        ::close(pathFd);
        return -1;
    }
    int fd = ::open(("/proc/self/fd/" + std::to_string(pathFd)).c_str(), kReadFlags);
    if (fd < 0 && errno == ENOENT) {
        // No /proc (a bare container): open the name again, and keep it only
        // when it is still the file that was checked.
        fd = ::openat(folderFd, name, kReadFlags);
        struct stat opened {};
        if (fd >= 0 && (::fstat(fd, &opened) != 0 || opened.st_dev != checked.st_dev ||
                        opened.st_ino != checked.st_ino)) {
            ::close(fd);
            fd = -1;
            errno = ESTALE;
        }
    }
    const int error = errno;
    ::close(pathFd);
    if (fd < 0)
        failure = ReadFailure{ReadError::OpenFailed, 0, error};
    return fd;
}

} // namespace

std::expected<FileSource, ReadFailure> FileSource::open(const std::string& path)
{
    return openAt(AT_FDCWD, path);
}

// A link to a regular file is followed, as the folder listing counts it a
// file; the folders on the way are the held folder's own.
std::expected<FileSource, ReadFailure> FileSource::openAt(int folderFd, const std::string& name)
{
    ReadFailure failure;
    const int fd = openRegularAt(folderFd, name.c_str(), failure);
    if (fd < 0)
        return std::unexpected(failure);
    return adopt(fd);
}

std::expected<FileSource, ReadFailure> FileSource::adopt(int fd)
{
    if (fd < 0)
        return std::unexpected(ReadFailure{ReadError::OpenFailed, 0, errno});
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return std::unexpected(ReadFailure{ReadError::OpenFailed, 0, error});
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::unexpected(ReadFailure{ReadError::NotRegularFile, 0, 0});
    }
    return FileSource(fd, static_cast<std::uint64_t>(info.st_size));
}

std::size_t FileSource::readAt(std::uint64_t offset, std::span<std::byte> out) const
{
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n =
            ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // the end of the file, wherever it now is
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::vector<std::byte> FileSource::readAll() const
{
    std::vector<std::byte> bytes(static_cast<std::size_t>(size_));
    bytes.resize(readAt(0, bytes));
    return bytes;
}

std::optional<std::string> readSmallFile(const std::string& path, std::uint64_t most)
{
    auto source = FileSource::open(path);
    if (!source || source->size() > most)
        return std::nullopt;
    const std::vector<std::byte> bytes = source->readAll();
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace gb
