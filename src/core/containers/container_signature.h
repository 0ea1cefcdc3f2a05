#pragma once
// Which container format a source's first bytes announce. The walk needs
// more than sniffContainer tells its callers: a compressed stream is a
// container only when a tar is found inside, while a zip that libarchive
// cannot make out is a damaged zip.

#include "core/bytes/byte_source.h"

namespace gb {

enum class ContainerSignature {
    None,
    Zip, // a local file header, or the end record of an empty zip
    SevenZip,
    Cabinet,
    Rar,              // version 4 or 5
    Tar,              // POSIX ustar or GNU
    Iso9660,          // a volume descriptor at sector 16
    CompressedStream, // gzip, bzip2, xz, zstd, lzip, lzma: perhaps a tar inside
    CompoundFile,     // a Windows Installer package or patch
};

ContainerSignature containerSignature(const ByteSource& source);

} // namespace gb
