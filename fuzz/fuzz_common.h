#pragma once
// Shared by the fuzz targets: drive a reader through everything a caller
// does with it, so every path of untrusted bytes is exercised.

#include "core/icons/icon_source.h"
#include "core/imagefiles/ico_writer.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace gb::fuzz {

inline ByteReader readerOf(const std::uint8_t* data, std::size_t size)
{
    return ByteReader(std::as_bytes(std::span(data, size)));
}

inline void exerciseGroup(const IconGroup& group)
{
    (void)extractIcon(group);
    (void)encodeOriginalIco(group);
}

// The same bytes as a file would give them: copied out range by range,
// never viewed in place, so the readers' file path is fuzzed too.
class CopyingSource final : public ByteSource {
public:
    explicit CopyingSource(ByteReader bytes) : memory_(bytes) {}
    std::uint64_t size() const override { return memory_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override
    {
        return memory_.readAt(offset, out);
    }

private:
    MemorySource memory_;
};

inline void exerciseResources(const ByteSource& source, const ResourceSet& set)
{
    ReadBudget budget{source.size() * 8};
    for (const ResourceBlob& blob : set.groups)
        exerciseGroup(resolveGroup(source, blob, set.icons, &budget));
}

// Runs `read` over the bytes both in memory and as a copying source.
template <typename Read> void overBothSources(const std::uint8_t* data, std::size_t size, Read read)
{
    const MemorySource memory(readerOf(data, size));
    read(static_cast<const ByteSource&>(memory));
    const CopyingSource copying(readerOf(data, size));
    read(static_cast<const ByteSource&>(copying));
}

} // namespace gb::fuzz
