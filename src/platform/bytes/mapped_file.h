#pragma once
// The bytes of one regular file, read-only. A large file is mapped, so only
// the pages the readers touch are read from disk and a 200 MB DLL costs its
// headers and resources, not its size. A small file is read with one
// positioned read instead: unmapping costs more than reading a few hundred
// kilobytes (a TLB flush per file, ruinous on a virtual machine). Memory
// stays bounded either way. Paths are bytes: a name that is not valid UTF-8
// opens too.

#include "platform/bytes/byte_reader.h"
#include "platform/icons/read_error.h"

#include <expected>
#include <string>
#include <vector>

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

    // Files up to this size are read rather than mapped.
    static constexpr std::size_t kReadLimit = 1 << 20;

private:
    void release();

    const std::byte* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
    std::vector<std::byte> buffer_; // the bytes of a small file
};

} // namespace gb
