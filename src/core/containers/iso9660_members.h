#pragma once
// The files of an ISO 9660 image, found by our own bounded reader of its
// directory records (ECMA-119), with the names its Rock Ridge entries
// (IEEE P1282, over the System Use Sharing Protocol) give them. Every file
// on such an image is one extent, stored as it is: its members are read in
// place, through the image's own positioned reads.
//
// Only images this reader maps whole are walked so; anything else (no Rock
// Ridge names, a file in several extents or interleaved, zisofs-compressed
// files, relocated deep folders, a damaged directory) gives the reason, and
// the image is read by the archive reader process as any archive is.

#include "core/bytes/byte_source.h"
#include "core/containers/stored_member.h"

#include <expected>
#include <string>

namespace gb {

// The image's regular files, ordered as their data lies on the disc (as the
// archive reader lists them), names as the walk gives them. The extents are
// as the records claim: the caller checks each against the image's size.
std::expected<StoredMembers, std::string> readIso9660Members(const ByteSource& image);

} // namespace gb
