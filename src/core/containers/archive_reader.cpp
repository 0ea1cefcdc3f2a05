#include "core/containers/archive_reader.h"

#include "core/bytes/descriptor.h"
#include "core/containers/archive_channel.h"
#include "core/containers/archive_service.h"
#include "core/containers/program_folder.h"
#include "core/text/system_error_text.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace gb {

namespace {

using Clock = std::chrono::steady_clock;

// How often the reader's memory and the stop request are looked at while
// the program waits for a reply.
constexpr auto kWatchInterval = std::chrono::milliseconds(10);
// A reader is never given less than this, however much the others hold.
constexpr std::uint64_t kLeastReaderMemory = std::uint64_t{16} << 20;
// The descriptors the reader finds its archive and its channel on.
constexpr int kArchiveFd = 3;
constexpr int kChannelFd = 4;
constexpr std::uint64_t kHundredMegabytes = 100'000'000;

const char* const kReaderName = "glimmerbox-archive-reader";

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

ArchiveFault hostile(std::string detail)
{
    return {ContainerProblem::Hostile, std::move(detail), FaultScope::Container};
}

ArchiveFault cannotStart(const std::string& why)
{
    return {ContainerProblem::Damaged, std::string("cannot start ") + kReaderName + ": " + why,
            FaultScope::Container};
}

std::string secondsText(std::chrono::milliseconds time)
{
    const auto tenths = (time.count() + 50) / 100;
    return std::to_string(tenths / 10) + (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "") + " s";
}

bool executable(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Resident pages of a process, in bytes; 0 once it is gone.
std::uint64_t residentOf(pid_t pid)
{
    std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
    std::uint64_t size = 0;
    std::uint64_t resident = 0;
    if (!(statm >> size >> resident))
        return 0;
    return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// The archive as a descriptor the reader can read with positioned reads:
// the file's own, or the bytes copied into a sealed memory file.
std::expected<Descriptor, ArchiveFault> archiveDescriptor(const ByteSource& source)
{
    if (source.descriptor() >= 0) {
        Descriptor copy(::fcntl(source.descriptor(), F_DUPFD_CLOEXEC, 10));
        if (!copy)
            return std::unexpected(cannotStart(systemErrorText(errno)));
        return copy;
    }
    Descriptor memory(::memfd_create("glimmerbox-archive", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!memory)
        return std::unexpected(cannotStart(systemErrorText(errno)));
    const auto writeAll = [&memory](std::span<const std::byte> bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(memory.get(), bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        }
        return true;
    };
    bool written = true;
    if (const auto bytes = source.memory()) {
        written = writeAll(bytes->bytes());
    } else {
        std::vector<std::byte> block(std::size_t{1} << 20);
        for (std::uint64_t at = 0; written && at < source.size();) {
            const std::size_t n = source.readAt(at, block);
            if (n == 0)
                break;
            written = writeAll(std::span(block).first(n));
            at += n;
        }
    }
    if (!written)
        return std::unexpected(cannotStart(systemErrorText(errno)));
    ::fcntl(memory.get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    // A descriptor at 3 or 4 would be overwritten by the other's move there.
    Descriptor high(::fcntl(memory.get(), F_DUPFD_CLOEXEC, 10));
    if (!high)
        return std::unexpected(cannotStart(systemErrorText(errno)));
    return high;
}

// The reader's environment: the program's own, and under the address
// sanitizer a reader whose allocation is refused gets a null pointer, as
// libarchive expects, rather than a report.
std::vector<std::string> readerEnvironment()
{
    std::vector<std::string> variables;
    bool sanitizerOptions = false;
    for (char** variable = environ; variable != nullptr && *variable != nullptr; ++variable) {
        std::string text = *variable;
        if (kUnderAddressSanitizer && text.starts_with("ASAN_OPTIONS=")) {
            text += ":allocator_may_return_null=1";
            sanitizerOptions = true;
        }
        variables.push_back(std::move(text));
    }
    if (kUnderAddressSanitizer && !sanitizerOptions)
        variables.emplace_back("ASAN_OPTIONS=allocator_may_return_null=1");
    return variables;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ReaderFence ReaderFence::forContainer(std::uint64_t size, const ContainerLimits& limits)
{
    // N seconds per 100 MB is N milliseconds per 100 kB.
    constexpr std::uint64_t kHundredKilobytes = kHundredMegabytes / 1000;
    const std::uint64_t most = std::numeric_limits<std::int64_t>::max() / 2;
    const std::uint64_t floor = std::min(limits.readerSecondsAtLeast, most / 1000) * 1000;
    const std::uint64_t steps = size / kHundredKilobytes;
    const std::uint64_t bySize =
        limits.readerSecondsPer100MB != 0 && steps > most / limits.readerSecondsPer100MB
            ? most
            : steps * limits.readerSecondsPer100MB;
    return ReaderFence(limits.readerMemory,
                       std::chrono::milliseconds(static_cast<std::int64_t>(std::min(most, floor + bySize))));
}

void ReaderFence::ended(pid_t pid)
{
    live_.erase(std::remove(live_.begin(), live_.end(), pid), live_.end());
}

std::uint64_t ReaderFence::residentNow()
{
    std::uint64_t total = 0;
    for (const pid_t pid : live_)
        total += residentOf(pid);
    peakResident_ = std::max(peakResident_, total);
    return total;
}

void ReaderFence::waited(std::chrono::nanoseconds time)
{
    waitLeft_ = time >= waitLeft_ ? std::chrono::nanoseconds(0) : waitLeft_ - time;
}

std::string archiveReaderProgram()
{
#ifdef GB_INSTALLED_ARCHIVE_READER
    const char* installed = GB_INSTALLED_ARCHIVE_READER;
#else
    const char* installed = nullptr;
#endif
    return findHelper("GLIMMERBOX_ARCHIVE_READER", kReaderName, {"../libexec/glimmerbox"}, installed,
                      executable);
}

struct ArchiveReader::Process {
    Process(DecompressionAllowance& budget, ReaderFence& limits, std::stop_token stopToken)
        : allowance(budget), fence(limits), stop(std::move(stopToken))
    {
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { end(); }

    DecompressionAllowance& allowance;
    ReaderFence& fence;
    std::stop_token stop;
    Descriptor channel;
    pid_t pid = -1;
    std::uint64_t chargedSeen = 0;
    std::optional<ArchiveFault> broken; // once set, every request gets it

    void end()
    {
        if (pid <= 0)
            return;
        ::kill(pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        fence.ended(pid);
        pid = -1;
    }

    std::expected<void, ArchiveFault> start(const ByteSource& source)
    {
        const std::string program = archiveReaderProgram();
        if (program.empty())
            return std::unexpected(cannotStart("not installed"));
        auto archive = archiveDescriptor(source);
        if (!archive)
            return std::unexpected(archive.error());
        int pair[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
            return std::unexpected(cannotStart(systemErrorText(errno)));
        channel = Descriptor(pair[0]);
        const Descriptor readerEnd(::fcntl(pair[1], F_DUPFD_CLOEXEC, 10));
        ::close(pair[1]);
        if (!readerEnd)
            return std::unexpected(cannotStart(systemErrorText(errno)));

        const std::uint64_t held = fence.residentNow();
        ReaderProcessLimits limits;
        limits.allowance =
            allowance.spent() ? 0 : allowance.total() - std::min(allowance.total(), allowance.taken());
        limits.memoryBytes = held + kLeastReaderMemory >= fence.memoryBytes() ? kLeastReaderMemory
                                                                              : fence.memoryBytes() - held;
        limits.cpuSeconds =
            static_cast<std::uint64_t>(std::chrono::ceil<std::chrono::seconds>(fence.waitLeft()).count()) + 1;

        std::vector<std::string> arguments{program};
        for (std::string& argument : readerArguments(limits))
            arguments.push_back(std::move(argument));
        std::vector<std::string> environment = readerEnvironment();
        std::vector<char*> argv = pointersTo(arguments);
        std::vector<char*> envp = pointersTo(environment);

        posix_spawn_file_actions_t actions;
        posix_spawnattr_t attributes;
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_adddup2(&actions, archive->get(), kArchiveFd);
        posix_spawn_file_actions_adddup2(&actions, readerEnd.get(), kChannelFd);
        // The reader starts with no signal blocked and its limits' signals
        // at their defaults, whatever the program's threads have set.
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int signal : {SIGXCPU, SIGPIPE, SIGTERM, SIGSEGV, SIGBUS})
            sigaddset(&defaults, signal);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        const int failed =
            ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (failed != 0) {
            pid = -1;
            return std::unexpected(cannotStart(systemErrorText(failed)));
        }
        fence.started(pid);
        return {};
    }

    // Why the reader ended before it answered: the limit it passed, or how.
    ArchiveFault ended()
    {
        if (pid <= 0)
            return hostile("the reader is gone");
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        fence.ended(pid);
        pid = -1;
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
            return hostile("took more than " + secondsText(fence.waitAllowed()));
        if (WIFSIGNALED(status))
            return hostile("the reader ended by signal " + std::to_string(WTERMSIG(status)));
        return hostile("the reader ended with status " + std::to_string(WEXITSTATUS(status)));
    }

    // Stops the reader for a limit it passed.
    ArchiveFault stopped(ArchiveFault why)
    {
        end();
        return why;
    }

    std::expected<void, ArchiveFault> receiveExactly(std::span<std::byte> out)
    {
        while (!out.empty()) {
            const ssize_t n = ::recv(channel.get(), out.data(), out.size(), MSG_DONTWAIT);
            if (n > 0) {
                out = out.subspan(static_cast<std::size_t>(n));
                continue;
            }
            if (n == 0)
                return std::unexpected(ended());
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return std::unexpected(
                    stopped(hostile(std::string("the channel failed: ") + systemErrorText(errno))));
            if (auto watched = watch(); !watched)
                return watched;
        }
        return {};
    }

    // One wait for the reader, then its limits looked at.
    std::expected<void, ArchiveFault> watch()
    {
        pollfd ready{channel.get(), POLLIN, 0};
        const auto before = Clock::now();
        const auto interval = std::min<std::chrono::nanoseconds>(kWatchInterval, fence.waitLeft());
        ::poll(&ready, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(interval).count()));
        fence.waited(Clock::now() - before);
        if (stop.stop_requested())
            return std::unexpected(stopped({ContainerProblem::Cancelled, "", FaultScope::Container}));
        if (fence.residentNow() > fence.memoryBytes())
            return std::unexpected(
                stopped(hostile("needed more than " + sizeText(fence.memoryBytes()) + " of memory")));
        if (fence.waitLeft().count() == 0)
            return std::unexpected(stopped(hostile("took more than " + secondsText(fence.waitAllowed()))));
        return {};
    }

    std::expected<ArchiveReply, ArchiveFault> ask(std::span<const std::byte> request, std::uint32_t asked)
    {
        if (broken)
            return std::unexpected(*broken);
        // A stop request ends the reading before the next block, as it
        // does a file's.
        if (stop.stop_requested()) {
            end();
            broken = ArchiveFault{ContainerProblem::Cancelled, "", FaultScope::Container};
            return std::unexpected(*broken);
        }
        if (!sendAll(channel.get(), request)) {
            broken = ended();
            return std::unexpected(*broken);
        }
        auto reply = receiveReply([this](std::span<std::byte> out) { return receiveExactly(out); }, asked);
        if (!reply) {
            end();
            broken = reply.error();
            return std::unexpected(*broken);
        }
        if (reply->charged > chargedSeen) {
            allowance.take(reply->charged - chargedSeen);
            chargedSeen = reply->charged;
        }
        // The reader counts against what was left when it started; what
        // other levels of the container took since counts too.
        if (allowance.spent() &&
            !(reply->tag == ReplyTag::Fault && reply->fault.scope == FaultScope::Container)) {
            end();
            broken = ArchiveFault{ContainerProblem::Bomb, sizeText(allowance.total()), FaultScope::Container};
            return std::unexpected(*broken);
        }
        if (reply->tag == ReplyTag::Fault && reply->fault.scope != FaultScope::Member) {
            end();
            broken = reply->fault;
        }
        return reply;
    }

    static ArchiveFault unexpectedReply()
    {
        return hostile("the reader's reply broke the rules: out of turn");
    }
};

ArchiveReader::ArchiveReader(std::unique_ptr<Process> process) : process_(std::move(process)) {}
ArchiveReader::ArchiveReader(ArchiveReader&&) noexcept = default;
ArchiveReader& ArchiveReader::operator=(ArchiveReader&&) noexcept = default;
ArchiveReader::~ArchiveReader() = default;

std::expected<ArchiveReader, ArchiveFault> ArchiveReader::open(const ByteSource& source,
                                                               DecompressionAllowance& allowance,
                                                               ReaderFence& fence, std::stop_token stop)
{
    if (stop.stop_requested())
        return std::unexpected(ArchiveFault{ContainerProblem::Cancelled, "", FaultScope::Container});
    auto process = std::make_unique<Process>(allowance, fence, std::move(stop));
    if (auto started = process->start(source); !started)
        return std::unexpected(started.error());
    auto reply = process->ask({}, 0);
    if (!reply)
        return std::unexpected(reply.error());
    if (reply->tag == ReplyTag::Fault)
        return std::unexpected(reply->fault);
    if (reply->tag != ReplyTag::Opened)
        return std::unexpected(Process::unexpectedReply());
    return ArchiveReader(std::move(process));
}

std::expected<std::optional<ArchiveEntry>, ArchiveFault> ArchiveReader::next()
{
    auto reply = process_->ask(encodeRequest(ArchiveRequest::Next), 0);
    if (!reply)
        return std::unexpected(reply.error());
    switch (reply->tag) {
    case ReplyTag::Entry: return std::move(reply->entry);
    case ReplyTag::End: return std::nullopt;
    case ReplyTag::Fault: return std::unexpected(std::move(reply->fault));
    case ReplyTag::Opened:
    case ReplyTag::Data: break;
    }
    process_->end();
    return std::unexpected(Process::unexpectedReply());
}

std::expected<std::size_t, ArchiveFault> ArchiveReader::read(std::span<std::byte> out)
{
    const auto asked = static_cast<std::uint32_t>(std::min<std::size_t>(out.size(), kMaxReadRequest));
    auto reply = process_->ask(encodeRequest(ArchiveRequest::Read, asked), asked);
    if (!reply)
        return std::unexpected(reply.error());
    if (reply->tag == ReplyTag::Fault)
        return std::unexpected(std::move(reply->fault));
    if (reply->tag != ReplyTag::Data) {
        process_->end();
        return std::unexpected(Process::unexpectedReply());
    }
    std::copy(reply->data.begin(), reply->data.end(), out.begin());
    return reply->data.size();
}

} // namespace gb
