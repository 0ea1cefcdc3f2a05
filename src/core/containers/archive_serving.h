#pragma once
// The archive reader process's answers to the program (archive_channel.h),
// read with libarchive.

#include <cstdint>

namespace gb {

// Serves the archive open as `archiveFd` over the socket `channel`; 0 when
// the program hung up, 1 when the channel failed.
int serveArchive(int archiveFd, int channel, std::uint64_t allowance);

} // namespace gb
