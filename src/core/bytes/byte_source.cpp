#include "core/bytes/byte_source.h"

#include <algorithm>
#include <cstring>

namespace gb {

std::size_t MemorySource::readAt(std::uint64_t offset, std::span<std::byte> out) const
{
    if (offset >= bytes_.size() || out.empty())
        return 0;
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), bytes_.size() - offset));
    std::memcpy(out.data(), bytes_.bytes().data() + offset, n);
    return n;
}

std::size_t SliceSource::readAt(std::uint64_t offset, std::span<std::byte> out) const
{
    if (offset >= length_)
        return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), length_ - offset));
    return parent_.readAt(offset_ + offset, out.first(n));
}

std::optional<ByteReader> SliceSource::memory() const
{
    const auto whole = parent_.memory();
    if (!whole)
        return std::nullopt;
    return whole->sub(offset_, length_);
}

std::optional<std::vector<std::byte>> readRange(const ByteSource& source, std::uint64_t offset,
                                                std::uint64_t length)
{
    if (!source.fits(offset, length))
        return std::nullopt;
    std::vector<std::byte> bytes(static_cast<std::size_t>(length));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t n = source.readAt(offset + done, std::span(bytes).subspan(done));
        if (n == 0)
            return std::nullopt; // the file shrank since it was opened
        done += n;
    }
    return bytes;
}

} // namespace gb
