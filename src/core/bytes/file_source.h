#pragma once
// A regular file read with positioned reads (pread) of the ranges asked
// for. Paths are bytes: a name that is not valid UTF-8 opens too.

#include "core/bytes/byte_source.h"
#include "core/bytes/read_error.h"

#include <expected>
#include <optional>
#include <string>

namespace gb {

class FileSource final : public ByteSource {
public:
    FileSource(FileSource&& other) noexcept;
    FileSource& operator=(FileSource&& other) noexcept;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() override;

    // Opens only regular files, and never opens anything else to find out:
    // opening a FIFO waits for a writer, opening a device can act (a new
    // terminal, a board reset by its serial line's DTR pulse).
    static std::expected<FileSource, ReadFailure> open(const std::string& path);
    // The same for the file `name` of the folder open as `folderFd`: it is
    // reached through that folder whatever its full path is now (longer than
    // PATH_MAX, or a folder on the way swapped for a link).
    static std::expected<FileSource, ReadFailure> openAt(int folderFd, const std::string& name);

    // A descriptor handed over open (an archive reader process is given its
    // archive so); refused unless it is a regular file. Takes ownership.
    static std::expected<FileSource, ReadFailure> adoptDescriptor(int fd) { return adopt(fd); }

    std::uint64_t size() const override { return size_; }
    int descriptor() const override { return fd_; }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override;

    // The whole file in one read, or what is left of it when it shrank.
    std::vector<std::byte> readAll() const;

private:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    static std::expected<FileSource, ReadFailure> adopt(int fd);

    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// The whole of a small regular file as text: none when it is missing, no
// regular file, unreadable or larger than `most` bytes.
std::optional<std::string> readSmallFile(const std::string& path, std::uint64_t most);

} // namespace gb
