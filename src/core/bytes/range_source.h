#pragma once
// A run of another source's bytes as a source of its own, addressed from 0:
// a member a container stores uncompressed is read through the container
// file's positioned reads, only the ranges its reader asks for, as a file on
// disk is. Unlike SliceSource it holds what it reads from, so it outlives
// the walk that found it.

#include "core/bytes/byte_source.h"

#include <memory>

namespace gb {

class RangeSource final : public ByteSource {
public:
    // [offset, offset + length) must lie inside `base`: the caller checks.
    RangeSource(std::shared_ptr<const ByteSource> base, std::uint64_t offset, std::uint64_t length)
        : base_(std::move(base)), offset_(offset), length_(length)
    {
    }
    std::uint64_t size() const override { return length_; }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override;
    std::optional<ByteReader> memory() const override;
    std::shared_ptr<const void> keeper() const override { return base_; }

    std::uint64_t offset() const { return offset_; }

private:
    std::shared_ptr<const ByteSource> base_;
    std::uint64_t offset_;
    std::uint64_t length_;
};

// A source of its own reading what `source` reads, for views that outlive
// it: the same open file through a descriptor of its own, or the same
// memory, held by its keeper. Memory that the caller keeps (no keeper) is
// shared as it is: the caller keeps it while the views live.
// Null when the descriptor cannot be duplicated (the process ran out).
std::shared_ptr<const ByteSource> shareSource(const ByteSource& source);

} // namespace gb
