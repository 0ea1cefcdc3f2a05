#pragma once
// The archive reader process's side: it holds its own limits, opens the
// archive it was handed with libarchive and answers the program's requests
// (archive_channel.h) until the program hangs up.

#include <cstdint>
#include <string>
#include <vector>

namespace gb {

struct ReaderProcessLimits {
    std::uint64_t allowance = 0;   // decompressed bytes left to the outermost container
    std::uint64_t memoryBytes = 0; // address space past what the process holds at its start
    std::uint64_t cpuSeconds = 0;  // processor time
};

// Sets this process's resource limits: its address space grows at most
// memoryBytes past what it is now, its processor time ends at cpuSeconds
// (SIGXCPU, then SIGKILL a second later), it leaves no core file, and it
// keeps no descriptor above `lastKept`. False with errno when a limit
// cannot be set; the process must not read then.
bool fenceThisProcess(const ReaderProcessLimits& limits, int lastKept);

// The arguments the program starts the reader with, and their reading back:
// "--allowance N --memory N --cpu N", all decimal.
std::vector<std::string> readerArguments(const ReaderProcessLimits& limits);
bool parseReaderArguments(int argc, const char* const* argv, ReaderProcessLimits& limits);

} // namespace gb
