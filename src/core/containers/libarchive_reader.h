#pragma once
// One archive read through libarchive from a ByteSource, front to back,
// once, in this process. Only the archive reader's own process runs it:
// libarchive allocates what a header declares before we see the header, so
// the rest of the program reaches it through archive_reader.h, behind
// that process's limits.
//
// The bytes come through our own callbacks as positioned reads, with a
// seek callback, so the zip format's central directory and ISO 9660's
// directories are reached without reading what lies between. Every
// decompressed byte, and a fixed cost per header, is charged to the
// outermost container's allowance; a stop request or a spent allowance
// ends the read at the next block.

#include "core/bytes/byte_source.h"
#include "core/containers/archive_types.h"
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

class LibarchiveReader {
public:
    // The source must outlive the reader, as must the allowance.
    static std::expected<LibarchiveReader, ArchiveFault>
    open(const ByteSource& source, DecompressionAllowance& allowance, std::stop_token stop);
    LibarchiveReader(LibarchiveReader&&) noexcept;
    LibarchiveReader& operator=(LibarchiveReader&&) noexcept;
    ~LibarchiveReader();

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
    explicit LibarchiveReader(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace gb
