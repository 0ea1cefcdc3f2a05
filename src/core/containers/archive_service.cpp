#include "core/containers/archive_service.h"

#include "core/bytes/file_source.h"
#include "core/containers/archive_channel.h"
#include "core/containers/decompression_allowance.h"
#include "core/containers/libarchive_reader.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace gb {

namespace {

// The address space the process holds now (VmSize), in bytes; 0 when
// /proc cannot tell.
std::uint64_t addressSpaceNow()
{
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    if (!(statm >> pages))
        return 0;
    return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

bool setLimit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    return ::setrlimit(resource, &limit) == 0;
}

// Exactly out.size() bytes; false at the program's hang-up or a failure.
bool receiveAll(int channel, std::span<std::byte> out)
{
    while (!out.empty()) {
        const ssize_t n = ::recv(channel, out.data(), out.size(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out = out.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

bool parseNumber(std::string_view text, std::uint64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

} // namespace

bool fenceThisProcess(const ReaderProcessLimits& limits, int lastKept)
{
    // Descriptors the program forgot to mark close-on-exec are none of
    // the reader's business.
    ::close_range(static_cast<unsigned>(lastKept) + 1, ~0U, 0);
    const std::uint64_t space = addressSpaceNow();
    return setLimit(RLIMIT_CORE, 0, 0) &&
           setLimit(RLIMIT_CPU, static_cast<rlim_t>(limits.cpuSeconds),
                    static_cast<rlim_t>(limits.cpuSeconds + 1)) &&
           setLimit(RLIMIT_AS, static_cast<rlim_t>(space + limits.memoryBytes),
                    static_cast<rlim_t>(space + limits.memoryBytes));
}

int serveArchive(int archiveFd, int channel, std::uint64_t allowanceBytes)
{
    DecompressionAllowance allowance(allowanceBytes);
    ArchiveReply reply;
    const auto answer = [&](ReplyTag tag) {
        reply.tag = tag;
        reply.charged = allowance.taken();
        return sendAll(channel, encodeReply(reply));
    };
    const auto answerFault = [&](ArchiveFault fault) {
        reply.fault = std::move(fault);
        return answer(ReplyTag::Fault);
    };

    auto file = FileSource::adoptDescriptor(archiveFd);
    if (!file)
        return answerFault(
                   {ContainerProblem::Damaged, "the archive was not handed over", FaultScope::Container})
                   ? 0
                   : 1;
    auto reader = LibarchiveReader::open(*file, allowance, {});
    if (!reader)
        return answerFault(reader.error()) ? 0 : 1;
    if (!answer(ReplyTag::Opened))
        return 1;

    std::vector<std::byte> buffer;
    for (;;) {
        std::byte request{};
        if (!receiveAll(channel, std::span(&request, 1)))
            return 0;
        reply = {};
        bool sent = false;
        if (request == static_cast<std::byte>(ArchiveRequest::Next)) {
            // Folders, links and nameless entries are passed over here: the
            // walk reads only regular files, and a million folders are a
            // million round trips otherwise.
            auto entry = reader->next();
            while (entry && *entry && (!(*entry)->regularFile || (*entry)->name.empty()))
                entry = reader->next();
            if (!entry) {
                sent = answerFault(entry.error());
            } else if (!*entry) {
                sent = answer(ReplyTag::End);
            } else {
                reply.entry = std::move(**entry);
                sent = answer(ReplyTag::Entry);
            }
        } else if (request == static_cast<std::byte>(ArchiveRequest::Read)) {
            std::byte size[4];
            if (!receiveAll(channel, size))
                return 0;
            std::uint32_t asked = 0;
            for (int i = 3; i >= 0; --i)
                asked = (asked << 8) | static_cast<std::uint32_t>(size[i]);
            buffer.resize(std::min(asked, kMaxReadRequest));
            auto n = reader->read(buffer);
            if (!n) {
                sent = answerFault(n.error());
            } else {
                reply.data.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(*n));
                sent = answer(ReplyTag::Data);
            }
        } else {
            return 1;
        }
        if (!sent)
            return 1;
    }
}

std::vector<std::string> readerArguments(const ReaderProcessLimits& limits)
{
    return {"--allowance", std::to_string(limits.allowance), "--memory", std::to_string(limits.memoryBytes),
            "--cpu",       std::to_string(limits.cpuSeconds)};
}

bool parseReaderArguments(int argc, const char* const* argv, ReaderProcessLimits& limits)
{
    if (argc != 7)
        return false;
    bool allowance = false;
    bool memory = false;
    bool cpu = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        const std::string_view value = argv[i + 1];
        if (name == "--allowance")
            allowance = parseNumber(value, limits.allowance);
        else if (name == "--memory")
            memory = parseNumber(value, limits.memoryBytes);
        else if (name == "--cpu")
            cpu = parseNumber(value, limits.cpuSeconds);
        else
            return false;
    }
    return allowance && memory && cpu && limits.cpuSeconds > 0;
}

} // namespace gb
