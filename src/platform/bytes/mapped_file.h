#pragma once
// A read-only mapping of one regular file. Only the pages the readers touch
// are ever read from disk, so a 200 MB DLL costs its headers and resources,
// not its size. Paths are bytes: a name that is not valid UTF-8 opens too.

#include "platform/bytes/byte_reader.h"
#include "platform/icons/read_error.h"

#include <expected>
#include <string>

namespace gb {

class MappedFile {
public:
    MappedFile() = default;
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // Opens only regular files: a FIFO would block, a device could be endless.
    static std::expected<MappedFile, ReadFailure> open(const std::string& path);

    ByteReader reader() const { return ByteReader(std::span(data_, size_)); }

private:
    void release();

    const std::byte* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace gb
