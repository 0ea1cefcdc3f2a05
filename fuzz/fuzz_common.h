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

// What the spare last byte of an input picks to draw, as libspng's fuzzer
// picks its options: drawing every group of a large seed at every size
// would spend the run on decoding what was decoded before.
struct DrawChoice {
    std::size_t group = 0;   // which group is drawn, modulo their number
    int size = 32;           // at which size
    bool overCopies = false; // drawn from the copying source, else from memory

    static DrawChoice of(const std::uint8_t* data, std::size_t size)
    {
        static constexpr int kSizes[] = {16, 32, 48, 256};
        const std::uint8_t spare = size == 0 ? 0 : data[size - 1];
        return DrawChoice{static_cast<std::size_t>(spare & 0x1f), kSizes[(spare >> 5) & 3],
                          (spare & 0x80) != 0};
    }
};

// Every group resolved (their directories and images read), one drawn at
// the chosen size and written as an original group.
inline void exerciseResources(const ByteSource& source, const ResourceSet& set, const DrawChoice& choice,
                              bool draw)
{
    ReadBudget budget{source.size() * 8};
    for (std::size_t i = 0; i < set.groups.size(); ++i) {
        const IconGroup group = resolveGroup(source, set.groups[i], set.icons, &budget);
        if (draw && i == choice.group % set.groups.size()) {
            (void)renderGroup(group, choice.size);
            (void)encodeOriginalIco(group);
        }
    }
}

// Runs `read` over the bytes both in memory and as a copying source; `read`
// is told whether it is the source the choice draws from.
template <typename Read> void overBothSources(const std::uint8_t* data, std::size_t size, Read read)
{
    const bool copiesDraw = DrawChoice::of(data, size).overCopies;
    const MemorySource memory(readerOf(data, size));
    read(static_cast<const ByteSource&>(memory), !copiesDraw);
    const CopyingSource copying(readerOf(data, size));
    read(static_cast<const ByteSource&>(copying), copiesDraw);
}

} // namespace gb::fuzz
