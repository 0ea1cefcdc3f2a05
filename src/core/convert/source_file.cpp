#include "core/convert/source_file.h"

#include "core/bytes/descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gb::convert {

namespace {

CodecFailure openFailure(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return {ConvertStatus::SourceMissing, "no such file"};
    case ENOMEM: return {ConvertStatus::OutOfMemory, "out of memory opening the file"};
    default: return {ConvertStatus::SourceUnreadable, "the file cannot be opened"};
    }
}

} // namespace

std::expected<FileBytes, CodecFailure> readSourceFile(const char* path, const CodecLimits& limits)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the type check
    // below refuses it anyway.
    const Descriptor file(::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0)
        return std::unexpected(openFailure(errno));

    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return std::unexpected(CodecFailure{ConvertStatus::SourceUnreadable, "the file cannot be examined"});
    if (!S_ISREG(status.st_mode))
        return std::unexpected(CodecFailure{ConvertStatus::SourceUnreadable, "not a regular file"});
    if (status.st_size < 0 || static_cast<std::uint64_t>(status.st_size) > limits.maxFileBytes)
        return std::unexpected(CodecFailure{ConvertStatus::TooLarge, "the file is larger than the limit"});

    const auto size = static_cast<std::size_t>(status.st_size);
    auto data = std::make_unique_for_overwrite<std::byte[]>(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(file.get(), data.get() + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::unexpected(CodecFailure{ConvertStatus::SourceUnreadable, "read error"});
        }
        if (n == 0)
            break; // the file shrank while it was read: take what is there
        done += static_cast<std::size_t>(n);
    }
    return FileBytes(std::move(data), done);
}

} // namespace gb::convert
