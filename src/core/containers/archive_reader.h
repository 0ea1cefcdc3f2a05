#pragma once
// One archive read through libarchive from a ByteSource, front to back,
// once. The bytes come through our own callbacks as positioned reads, with
// a seek callback, so the zip format's central directory and ISO 9660's
// directories are reached without reading what lies between. Every
// decompressed byte, and a fixed cost per header, is charged to the
// outermost container's allowance; a stop request or a spent allowance
// ends the read at the next block.

#include "core/bytes/byte_source.h"
#include "core/containers/container_walk.h"
#include "core/containers/decompression_allowance.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>

namespace gb {

struct ArchiveEntry {
    std::string name; // normalised (member_name.h)
    bool regularFile = false;
    bool encrypted = false;
    std::optional<std::uint64_t> size; // what its header claims
};

enum class FaultScope {
    Member,       // this member is lost; the next one can be read
    Container,    // nothing more can be read from this archive
    NotAnArchive, // libarchive recognises no format we opened it for
};

struct ArchiveFault {
    ContainerProblem problem = ContainerProblem::Damaged; // Damaged, Bomb or Cancelled
    std::string detail;
    FaultScope scope = FaultScope::Container;
};

class ArchiveReader {
public:
    // The source must outlive the reader, as must the allowance.
    static std::expected<ArchiveReader, ArchiveFault>
    open(const ByteSource& source, DecompressionAllowance& allowance, std::stop_token stop);
    ArchiveReader(ArchiveReader&&) noexcept;
    ArchiveReader& operator=(ArchiveReader&&) noexcept;
    ~ArchiveReader();

    // The next entry's header, after passing over what is left of the
    // current entry's data; nullopt after the last entry.
    std::expected<std::optional<ArchiveEntry>, ArchiveFault> next();
    // Up to out.size() more bytes of the current entry's data; 0 at its end.
    std::expected<std::size_t, ArchiveFault> read(std::span<std::byte> out);

    // A header costs as much as a tar header, so an archive of millions of
    // empty members counts as large.
    static constexpr std::uint64_t kHeaderCost = 512;

    struct State;

private:
    explicit ArchiveReader(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace gb
