#pragma once
// Where a reader's bytes come from: a file read with positioned reads of
// only the ranges a reader asks for, or bytes already in memory (small
// files, tests, fuzzing). No file is mapped: a file that shrinks while it is
// read gives short reads, which the readers treat as a truncated file,
// where a mapping would kill the process with SIGBUS.

#include "core/bytes/byte_reader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace gb {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The size the file had when it was opened. Reads may still come back
    // short when it has shrunk since.
    virtual std::uint64_t size() const = 0;

    // Reads up to out.size() bytes at offset; returns how many were read.
    virtual std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const = 0;

    // The bytes themselves when they are in memory; empty for a file.
    virtual std::optional<ByteReader> memory() const { return std::nullopt; }
    // The open regular file the bytes are read from, for a process that
    // reads them too; -1 when they are not a whole file's.
    virtual int descriptor() const { return -1; }
    // What keeps those bytes alive, for views that outlive this source;
    // null when the caller keeps them.
    virtual std::shared_ptr<const void> keeper() const { return nullptr; }

    bool fits(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size() && length <= size() - offset;
    }
};

// Bytes in memory: kept alive by the caller, or shared with every view
// taken of them (a file read whole).
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(ByteReader bytes) : bytes_(bytes) {}
    explicit MemorySource(std::shared_ptr<const std::vector<std::byte>> bytes)
        : bytes_(std::span(*bytes)), keeper_(std::move(bytes))
    {
    }
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override;
    std::optional<ByteReader> memory() const override { return bytes_; }
    std::shared_ptr<const void> keeper() const override { return keeper_; }

private:
    ByteReader bytes_;
    std::shared_ptr<const void> keeper_;
};

// A window [offset, offset + length) of another source, addressed from 0.
class SliceSource final : public ByteSource {
public:
    SliceSource(const ByteSource& parent, std::uint64_t offset, std::uint64_t length)
        : parent_(parent), offset_(offset), length_(length)
    {
    }
    std::uint64_t size() const override { return length_; }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override;
    std::optional<ByteReader> memory() const override;
    std::shared_ptr<const void> keeper() const override { return parent_.keeper(); }

private:
    const ByteSource& parent_;
    std::uint64_t offset_;
    std::uint64_t length_;
};

// Exactly [offset, offset + length) of a source, or nothing when the range
// leaves the source or the read comes back short.
std::optional<std::vector<std::byte>> readRange(const ByteSource& source, std::uint64_t offset,
                                                std::uint64_t length);

// Bytes that stay valid as long as any holder of the keeper lives: a view
// into memory the source shares, or a copy read from the file.
struct HeldBytes {
    ByteReader bytes;
    std::shared_ptr<const void> keeper; // null when the caller keeps the bytes alive
};

// How many bytes a reader may still copy out of a file. Hostile directories
// can point every entry at the same large range; the budget keeps the work
// on one file proportional to its size. Memory sources copy nothing.
struct ReadBudget {
    std::uint64_t left = 0;
};

} // namespace gb
