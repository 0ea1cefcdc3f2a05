#pragma once
// The files of a plain (uncompressed) tar, found by our own bounded reader
// of its 512-byte headers (POSIX ustar, and GNU tar's headers of the same
// shape): every file's data follows its header as it is, so its members
// are read in place, through the tar's own positioned reads.
//
// Only tars this reader maps whole are walked so; anything else (pax or GNU
// long-name headers, sparse files, sizes in base 256, names that are not
// ASCII, a header whose checksum fails) gives the reason, and the tar is
// read by the archive reader process as any archive is.

#include "core/bytes/byte_source.h"
#include "core/containers/stored_member.h"

#include <expected>
#include <string>

namespace gb {

// The tar's regular files in the order of their headers, names as the walk
// gives them. A file cut short by the tar's end is listed as its header
// claims: the caller checks each against the tar's size.
std::expected<StoredMembers, std::string> readTarMembers(const ByteSource& tar);

} // namespace gb
