#include "platform/bytes/mapped_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace gb {

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)), buffer_(std::move(other.buffer_))
{
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, false);
        buffer_ = std::move(other.buffer_); // the heap block, and data_ into it, stay put
    }
    return *this;
}

MappedFile::~MappedFile()
{
    release();
}

void MappedFile::release()
{
    if (mapped_)
        ::munmap(const_cast<std::byte*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
    buffer_.clear();
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
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size > 0 && size <= kReadLimit) {
        file.buffer_.resize(size);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pread(fd, file.buffer_.data() + done, size - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // the file shrank while we read: keep what was there
            done += static_cast<std::size_t>(n);
        }
        file.buffer_.resize(done);
        file.data_ = file.buffer_.data();
        file.size_ = done;
    } else if (size > 0) {
        void* data = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            const int error = errno;
            ::close(fd);
            return std::unexpected(ReadFailure{ReadError::OpenFailed, 0, error});
        }
        file.data_ = static_cast<const std::byte*>(data);
        file.size_ = size;
        file.mapped_ = true;
    }
    ::close(fd);
    return file;
}

} // namespace gb
