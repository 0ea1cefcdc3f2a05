#include "platform/bytes/mapped_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace gb {

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
{
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

MappedFile::~MappedFile()
{
    release();
}

void MappedFile::release()
{
    if (data_ != nullptr)
        ::munmap(const_cast<std::byte*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

std::expected<MappedFile, ReadFailure> MappedFile::open(const std::string& path)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer
    // before fstat could tell us it is not a regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
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

    MappedFile file;
    if (info.st_size > 0) {
        void* data = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            const int error = errno;
            ::close(fd);
            return std::unexpected(ReadFailure{ReadError::OpenFailed, 0, error});
        }
        file.data_ = static_cast<const std::byte*>(data);
        file.size_ = static_cast<std::size_t>(info.st_size);
    }
    ::close(fd);
    return file;
}

} // namespace gb
