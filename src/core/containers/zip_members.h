#pragma once
// The files of a zip whose every file is stored (method 0, no encryption),
// found by our own bounded reader of its central directory and local
// headers (PKWARE's APPNOTE.TXT, the zip format's description): every file's data
// lies as it is after its local header, so its members are read in place,
// through the zip's own positioned reads.
//
// Only zips this reader maps whole are walked so; anything else (a
// compressed or encrypted file, Zip64 or split archives, names that are not
// ASCII, links, a damaged directory) gives the reason, and the zip is read
// by the archive reader process as any archive is.

#include "core/bytes/byte_source.h"
#include "core/containers/stored_member.h"

#include <expected>
#include <string>

namespace gb {

// The zip's files in the order of their data in the zip, names as the walk
// gives them. The ranges are as the headers claim: the caller checks each
// against the zip's size.
std::expected<StoredMembers, std::string> readStoredZipMembers(const ByteSource& zip);

} // namespace gb
