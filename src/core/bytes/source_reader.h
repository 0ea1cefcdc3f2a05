#pragma once
// Small checked reads (u16le, u32le, ...) at file offsets of a ByteSource,
// for walking directories and tables. Bytes in memory are read in place; a
// file is read in blocks kept in a small cache, so a directory walk costs a
// few positioned reads, not one per field. A read that leaves the source or
// comes back short yields std::nullopt.

#include "core/bytes/byte_source.h"

#include <array>

namespace gb {

class SourceReader;
std::optional<HeldBytes> holdRange(const SourceReader& reader, std::uint64_t offset, std::uint64_t length,
                                   ReadBudget* budget = nullptr);

class SourceReader {
public:
    explicit SourceReader(const ByteSource& source);
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    const ByteSource& source() const { return source_; }
    std::uint64_t size() const { return source_.size(); }
    bool fits(std::uint64_t offset, std::uint64_t length) const { return source_.fits(offset, length); }

    std::optional<std::uint8_t> u8(std::uint64_t offset) const;
    std::optional<std::uint16_t> u16le(std::uint64_t offset) const;
    std::optional<std::uint32_t> u32le(std::uint64_t offset) const;
    bool startsWith(std::uint64_t offset, std::span<const std::uint8_t> magic) const;

    // Copies [offset, offset + out.size()) into out; false when it does not fit.
    bool copy(std::uint64_t offset, std::span<std::byte> out) const;
    // Exactly [offset, offset + length), through the cache when it is small.
    std::optional<std::vector<std::byte>> bytes(std::uint64_t offset, std::uint64_t length) const;

    // Blocks of this size (a page) are read from a file: the directories of
    // a real file span a few, and larger blocks cost more in copying than
    // they save in reads (measured over the benchmark corpus).
    static constexpr std::size_t kBlockSize = 4096;
    static constexpr std::size_t kCachedBlocks = 8;

private:
    struct Block {
        std::uint64_t start = 0;
        std::size_t length = 0; // 0: empty slot
        std::vector<std::byte> bytes;
    };
    const Block* block(std::uint64_t start) const;

    const ByteSource& source_;
    std::optional<ByteReader> memory_;
    mutable std::array<Block, kCachedBlocks> cache_;
    mutable std::size_t nextSlot_ = 0;
};

} // namespace gb
