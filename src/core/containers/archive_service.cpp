#include "core/containers/archive_service.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <sys/resource.h>
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
