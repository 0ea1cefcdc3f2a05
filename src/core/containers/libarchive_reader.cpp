#include "core/containers/libarchive_reader.h"

#include "core/containers/member_name.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace gb {

namespace {

// Positioned reads from a file come in blocks of this size; bytes in
// memory are handed to libarchive in place, this much at a time, so a stop
// request is still seen between blocks.
constexpr std::size_t kBlockSize = std::size_t{64} * 1024;
constexpr std::size_t kMemoryBlockSize = std::size_t{1024} * 1024;

using FilterSupport = int (*)(struct archive*);

// The decompressors libarchive runs in-process. Where it was built without
// one, its support call says so with ARCHIVE_WARN and would run an outside
// program on the bytes instead: those are left out, asked once of a probe.
const std::vector<FilterSupport>& inProcessFilters()
{
    static const std::vector<FilterSupport> filters = [] {
        const FilterSupport all[] = {archive_read_support_filter_gzip, archive_read_support_filter_bzip2,
                                     archive_read_support_filter_xz,   archive_read_support_filter_lzma,
                                     archive_read_support_filter_lzip, archive_read_support_filter_zstd};
        std::vector<FilterSupport> kept;
        for (const FilterSupport support : all) {
            struct archive* probe = archive_read_new();
            if (probe && support(probe) == ARCHIVE_OK)
                kept.push_back(support);
            archive_read_free(probe);
        }
        return kept;
    }();
    return filters;
}

} // namespace

struct LibarchiveReader::State {
    State(const ByteSource& from, DecompressionAllowance& budget, std::stop_token stopToken)
        : source(from), memory(from.memory()), allowance(budget), stop(std::move(stopToken))
    {
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State()
    {
        if (handle)
            archive_read_free(handle);
    }

    const ByteSource& source;
    std::optional<ByteReader> memory;
    DecompressionAllowance& allowance;
    std::stop_token stop;
    struct archive* handle = nullptr;
    std::uint64_t position = 0;
    std::vector<std::byte> block; // the last block read from a file

    std::uint64_t dataBytes = 0;
    std::uint64_t headers = 0;
    std::uint64_t charged = 0;
    bool inEntry = false;
    bool entryUnreadable = false; // encrypted, or its data failed: passed over without reading

    // Why the reading must end now, before the next block: a stop request
    // or a spent allowance. Null when it may go on.
    const char* haltReason() const
    {
        if (stop.stop_requested())
            return "cancelled";
        if (allowance.spent())
            return "decompression allowance spent";
        return nullptr;
    }

    ArchiveFault fault(int status) const
    {
        if (stop.stop_requested())
            return {ContainerProblem::Cancelled, "", FaultScope::Container};
        if (allowance.spent())
            return {ContainerProblem::Bomb, sizeText(allowance.total()), FaultScope::Container};
        const char* message = archive_error_string(handle);
        return {ContainerProblem::Damaged, message ? message : "unreadable",
                status == ARCHIVE_FATAL ? FaultScope::Container : FaultScope::Member};
    }

    // Charges what was decompressed since the last charge. Through a
    // compression filter, what the filter put out counts too: the headers
    // of a compressed tar are decompressed bytes as much as its data.
    bool charge()
    {
        std::uint64_t used = dataBytes + headers * kHeaderCost;
        if (archive_filter_code(handle, 0) != ARCHIVE_FILTER_NONE) {
            const la_int64_t filtered = archive_filter_bytes(handle, 0);
            if (filtered > 0)
                used = std::max(used, static_cast<std::uint64_t>(filtered));
        }
        if (used > charged) {
            allowance.take(used - charged);
            charged = used;
        }
        return !allowance.spent();
    }

    // Whether passing over data seeks instead of decompressing it: ISO 9660,
    // zip through its central directory and plain tar know where each
    // member's data ends; 7z, cab and rar, and anything under a compression
    // filter, must decompress to get past it, so those bytes are read and
    // counted.
    bool skipSeeks() const
    {
        if (archive_filter_code(handle, 0) != ARCHIVE_FILTER_NONE)
            return false;
        const int format = archive_format(handle) & ARCHIVE_FORMAT_BASE_MASK;
        return format == ARCHIVE_FORMAT_ISO9660 || format == ARCHIVE_FORMAT_ZIP ||
               format == ARCHIVE_FORMAT_TAR;
    }

    std::expected<void, ArchiveFault> finishEntry()
    {
        inEntry = false;
        if (skipSeeks() || entryUnreadable) {
            const int status = archive_read_data_skip(handle);
            if (status == ARCHIVE_FATAL)
                return std::unexpected(fault(status));
            return {};
        }
        std::vector<std::byte> scratch(kBlockSize);
        for (;;) {
            if (haltReason())
                return std::unexpected(fault(ARCHIVE_FATAL));
            const la_ssize_t n = archive_read_data(handle, scratch.data(), scratch.size());
            if (n == 0)
                return {};
            if (n < 0) {
                // A member nobody asked for is lost quietly; the archive goes on if it can.
                if (n == ARCHIVE_FATAL || haltReason())
                    return std::unexpected(fault(static_cast<int>(n)));
                return {};
            }
            dataBytes += static_cast<std::uint64_t>(n);
            if (!charge())
                return std::unexpected(fault(ARCHIVE_FATAL));
        }
    }
};

namespace {

LibarchiveReader::State& stateOf(void* data)
{
    return *static_cast<LibarchiveReader::State*>(data);
}

la_ssize_t readBlock(struct archive* handle, void* data, const void** out)
{
    LibarchiveReader::State& state = stateOf(data);
    if (const char* reason = state.haltReason()) {
        archive_set_error(handle, ECANCELED, "%s", reason);
        return ARCHIVE_FATAL;
    }
    if (state.memory) {
        const auto bytes = state.memory->bytes();
        const std::uint64_t from = std::min<std::uint64_t>(state.position, bytes.size());
        const std::size_t n = std::min<std::size_t>(bytes.size() - from, kMemoryBlockSize);
        *out = bytes.data() + from;
        state.position = from + n;
        return static_cast<la_ssize_t>(n);
    }
    state.block.resize(kBlockSize);
    const std::size_t n = state.source.readAt(state.position, state.block);
    state.position += n;
    *out = state.block.data();
    return static_cast<la_ssize_t>(n);
}

la_int64_t seekTo(struct archive* handle, void* data, la_int64_t offset, int whence)
{
    LibarchiveReader::State& state = stateOf(data);
    if (const char* reason = state.haltReason()) {
        archive_set_error(handle, ECANCELED, "%s", reason);
        return ARCHIVE_FATAL;
    }
    const std::uint64_t size = state.source.size();
    const auto base = static_cast<la_int64_t>(whence == SEEK_SET   ? 0
                                              : whence == SEEK_CUR ? state.position
                                                                   : size);
    // Both fit in 63 bits: no source is larger, and libarchive never asks for more.
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0)
        return ARCHIVE_FATAL;
    state.position = static_cast<std::uint64_t>(base + offset);
    return base + offset;
}

la_int64_t skipAhead(struct archive*, void* data, la_int64_t request)
{
    LibarchiveReader::State& state = stateOf(data);
    const std::uint64_t size = state.source.size();
    if (request <= 0 || state.haltReason() || state.position >= size)
        return 0;
    const std::uint64_t n =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(request), size - state.position);
    state.position += n;
    return static_cast<la_int64_t>(n);
}

} // namespace

LibarchiveReader::LibarchiveReader(std::unique_ptr<State> state) : state_(std::move(state)) {}
LibarchiveReader::LibarchiveReader(LibarchiveReader&&) noexcept = default;
LibarchiveReader& LibarchiveReader::operator=(LibarchiveReader&&) noexcept = default;
LibarchiveReader::~LibarchiveReader() = default;

std::expected<LibarchiveReader, ArchiveFault>
LibarchiveReader::open(const ByteSource& source, DecompressionAllowance& allowance, std::stop_token stop)
{
    auto state = std::make_unique<State>(source, allowance, std::move(stop));
    struct archive* handle = archive_read_new();
    if (!handle)
        return std::unexpected(
            ArchiveFault{ContainerProblem::Damaged, "out of memory", FaultScope::Container});
    state->handle = handle;
    // Only the formats we open containers for: libarchive would otherwise
    // take a program with an archive inside, or a lone text file, for one.
    // The zip format through its central directory, as the zip tools read
    // it, not front to back.
    archive_read_support_format_zip_seekable(handle);
    archive_read_support_format_7zip(handle);
    archive_read_support_format_cab(handle);
    archive_read_support_format_rar(handle);
    archive_read_support_format_rar5(handle);
    archive_read_support_format_tar(handle);
    archive_read_support_format_iso9660(handle);
    for (const FilterSupport support : inProcessFilters())
        support(handle);
    archive_read_set_read_callback(handle, readBlock);
    archive_read_set_seek_callback(handle, seekTo);
    archive_read_set_skip_callback(handle, skipAhead);
    archive_read_set_callback_data(handle, state.get());
    const int status = archive_read_open1(handle);
    if (status < ARCHIVE_WARN) {
        // libarchive says it recognises no format with its "file format"
        // error number, EILSEQ on systems without EFTYPE, as Linux is. A
        // compression filter that fails (a truncated gzip stream) says so
        // with another.
        ArchiveFault failure = state->fault(status);
        if (failure.problem == ContainerProblem::Damaged && archive_errno(handle) == EILSEQ)
            failure.scope = FaultScope::NotAnArchive;
        return std::unexpected(std::move(failure));
    }
    return LibarchiveReader(std::move(state));
}

std::expected<std::optional<ArchiveEntry>, ArchiveFault> LibarchiveReader::next()
{
    State& state = *state_;
    if (state.inEntry)
        if (auto finished = state.finishEntry(); !finished)
            return std::unexpected(finished.error());
    if (state.haltReason())
        return std::unexpected(state.fault(ARCHIVE_FATAL));
    struct archive_entry* entry = nullptr;
    const int status = archive_read_next_header(state.handle, &entry);
    if (status == ARCHIVE_EOF)
        return std::nullopt;
    // ARCHIVE_WARN on a header leaves a usable entry (a name libarchive
    // could not convert to the locale's encoding, junk passed over before
    // it); anything worse loses the archive from here.
    if (status < ARCHIVE_WARN) {
        ArchiveFault failure = state.fault(status);
        failure.scope = FaultScope::Container;
        return std::unexpected(std::move(failure));
    }
    ++state.headers;
    if (!state.charge())
        return std::unexpected(state.fault(ARCHIVE_FATAL));
    state.inEntry = true;
    ArchiveEntry result;
    const char* name = archive_entry_pathname(entry);
    result.name = normaliseMemberName(name ? name : "");
    result.regularFile = archive_entry_filetype(entry) == AE_IFREG;
    result.encrypted = archive_entry_is_encrypted(entry) != 0;
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) >= 0)
        result.size = static_cast<std::uint64_t>(archive_entry_size(entry));
    state.entryUnreadable = result.encrypted;
    return result;
}

std::expected<std::size_t, ArchiveFault> LibarchiveReader::read(std::span<std::byte> out)
{
    State& state = *state_;
    if (!state.inEntry)
        return 0;
    if (state.haltReason())
        return std::unexpected(state.fault(ARCHIVE_FATAL));
    const la_ssize_t n = archive_read_data(state.handle, out.data(), out.size());
    if (n < 0) {
        state.entryUnreadable = true;
        return std::unexpected(state.fault(static_cast<int>(n)));
    }
    state.dataBytes += static_cast<std::uint64_t>(n);
    if (!state.charge())
        return std::unexpected(state.fault(ARCHIVE_FATAL));
    return static_cast<std::size_t>(n);
}

} // namespace gb
