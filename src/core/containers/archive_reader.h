#pragma once
// One archive read front to back, once, by a process of its own.
//
// libarchive parses every format we open archives for, and some of its
// parsers allocate what a header declares before handing the header on: a
// 7z header of a few kilobytes may declare a hundred million files, a tar
// member's sparse map a hundred million pieces. Nothing charged to our
// allowance could stop that, since it happens inside one libarchive call.
// So the parsing happens in glimmerbox-archive-reader, a small process
// started per archive with limits of its own (address space, processor
// time, no core file), and watched from here: its resident memory and the
// time spent waiting for it, for all reader processes of one outermost
// container together. A reader that passes a limit, or dies, stops that
// container as damaged or hostile; the search goes on with the next file.
//
// The process reads the archive's own descriptor (a file on disk) or a
// sealed copy in memory (a member of another container) and answers one
// request at a time, so only the members the walk wants are decompressed.

#include "core/bytes/byte_source.h"
#include "core/containers/archive_types.h"
#include "core/containers/container_walk.h"
#include "core/containers/decompression_allowance.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <sys/types.h>
#include <vector>

namespace gb {

// The limits every reader process of one outermost container shares.
class ReaderFence {
public:
    static ReaderFence forContainer(std::uint64_t size, const ContainerLimits& limits);

    std::uint64_t memoryBytes() const { return memoryBytes_; }
    std::chrono::nanoseconds waitLeft() const { return waitLeft_; }
    std::chrono::milliseconds waitAllowed() const { return waitAllowed_; }
    // The most resident memory the reader processes were seen holding
    // together: what the limits were measured against.
    std::uint64_t peakResident() const { return peakResident_; }

    // For the reader processes: which are alive, what they hold now, and
    // the time spent waiting for them.
    void started(pid_t pid) { live_.push_back(pid); }
    void ended(pid_t pid);
    std::uint64_t residentNow();
    void waited(std::chrono::nanoseconds time);

private:
    ReaderFence(std::uint64_t memory, std::chrono::milliseconds wait)
        : memoryBytes_(memory), waitLeft_(wait), waitAllowed_(wait)
    {
    }
    std::uint64_t memoryBytes_;
    std::chrono::nanoseconds waitLeft_; // counted to the nanosecond: an archive of a million
                                        // entries is a million short waits
    std::chrono::milliseconds waitAllowed_;
    std::uint64_t peakResident_ = 0;
    std::vector<pid_t> live_;
};

class ArchiveReader {
public:
    // The source, the allowance and the fence must outlive the reader.
    static std::expected<ArchiveReader, ArchiveFault> open(const ByteSource& source,
                                                           DecompressionAllowance& allowance,
                                                           ReaderFence& fence, std::stop_token stop);
    ArchiveReader(ArchiveReader&&) noexcept;
    ArchiveReader& operator=(ArchiveReader&&) noexcept;
    ~ArchiveReader();

    // The next entry's header, after passing over what is left of the
    // current entry's data; nullopt after the last entry.
    std::expected<std::optional<ArchiveEntry>, ArchiveFault> next();
    // Up to out.size() more bytes of the current entry's data; 0 at its end.
    std::expected<std::size_t, ArchiveFault> read(std::span<std::byte> out);

    struct Process;

private:
    explicit ArchiveReader(std::unique_ptr<Process> process);
    std::unique_ptr<Process> process_;
};

// Where the reader program is: $GLIMMERBOX_ARCHIVE_READER, else beside the
// running program (a build tree), else in ../libexec/glimmerbox from it,
// else where the build installs it. Empty when none is there.
std::string archiveReaderProgram();

} // namespace gb
