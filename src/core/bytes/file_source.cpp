#include "core/bytes/file_source.h"

#include <cerrno>
#include <fcntl.h>
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

// O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer
// before fstat could tell us it is not a regular file.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

std::expected<FileSource, ReadFailure> FileSource::open(const std::string& path)
{
    return adopt(::open(path.c_str(), kOpenFlags));
}

// A link to a regular file is followed, as the folder listing counts it a
// file; the folders on the way are the held folder's own.
std::expected<FileSource, ReadFailure> FileSource::openAt(int folderFd, const std::string& name)
{
    return adopt(::openat(folderFd, name.c_str(), kOpenFlags));
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

} // namespace gb
