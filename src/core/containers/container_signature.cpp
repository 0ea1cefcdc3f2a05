#include "core/containers/container_signature.h"

#include "core/bytes/source_reader.h"
#include "core/containers/container_walk.h"
#include "core/text/ascii.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace gb {

namespace {

constexpr std::uint8_t kZipLocalHeader[] = {'P', 'K', 3, 4};
constexpr std::uint8_t kZipEndRecord[] = {'P', 'K', 5, 6}; // an empty zip is only this record
constexpr std::uint8_t kSevenZip[] = {'7', 'z', 0xbc, 0xaf, 0x27, 0x1c};
constexpr std::uint8_t kCabinet[] = {'M', 'S', 'C', 'F', 0, 0, 0, 0}; // then reserved zeros
constexpr std::uint8_t kRar4[] = {'R', 'a', 'r', '!', 0x1a, 7, 0};
constexpr std::uint8_t kRar5[] = {'R', 'a', 'r', '!', 0x1a, 7, 1, 0};
constexpr std::uint8_t kUstar[] = {'u', 's', 't', 'a', 'r'}; // "ustar\0" (POSIX) and "ustar  " (GNU)
constexpr std::uint64_t kUstarOffset = 257;
// ISO 9660: sixteen system sectors of 2048 bytes, then the volume
// descriptors, each a type byte and "CD001".
constexpr std::uint8_t kIsoIdentifier[] = {'C', 'D', '0', '0', '1'};
constexpr std::uint64_t kIsoIdentifierOffset = 16 * 2048 + 1;
constexpr std::uint8_t kCompoundFile[] = {0xd0, 0xcf, 0x11, 0xe0, 0xa1, 0xb1, 0x1a, 0xe1};

constexpr std::uint8_t kGzip[] = {0x1f, 0x8b};
constexpr std::uint8_t kBzip2[] = {'B', 'Z', 'h'};
constexpr std::uint8_t kXz[] = {0xfd, '7', 'z', 'X', 'Z', 0};
constexpr std::uint8_t kZstd[] = {0x28, 0xb5, 0x2f, 0xfd};
constexpr std::uint8_t kLzip[] = {'L', 'Z', 'I', 'P'};

// The lzma "alone" format has no signature: its first byte is the usual
// properties byte (lc=3, lp=0, pb=2) and the next four a dictionary size,
// a power of two from 4 KiB in practice, as the lzma tools write it.
bool looksLikeLzmaAlone(const SourceReader& file)
{
    constexpr std::uint8_t kUsualProperties = 0x5d;
    const auto properties = file.u8(0);
    const auto dictionary = file.u32le(1);
    return properties == kUsualProperties && dictionary && *dictionary >= 4096 &&
           (*dictionary & (*dictionary - 1)) == 0;
}

bool isCompressedStream(const SourceReader& file)
{
    return file.startsWith(0, kGzip) || file.startsWith(0, kBzip2) || file.startsWith(0, kXz) ||
           file.startsWith(0, kZstd) || file.startsWith(0, kLzip);
}

} // namespace

ContainerSignature containerSignature(const ByteSource& source)
{
    const SourceReader file(source);
    if (file.startsWith(0, kZipLocalHeader) || file.startsWith(0, kZipEndRecord))
        return ContainerSignature::Zip;
    if (file.startsWith(0, kSevenZip))
        return ContainerSignature::SevenZip;
    if (file.startsWith(0, kCabinet))
        return ContainerSignature::Cabinet;
    if (file.startsWith(0, kRar4) || file.startsWith(0, kRar5))
        return ContainerSignature::Rar;
    if (file.startsWith(0, kCompoundFile))
        return ContainerSignature::CompoundFile;
    if (isCompressedStream(file))
        return ContainerSignature::CompressedStream;
    if (file.startsWith(kUstarOffset, kUstar))
        return ContainerSignature::Tar;
    if (file.startsWith(kIsoIdentifierOffset, kIsoIdentifier))
        return ContainerSignature::Iso9660;
    // Last, as the weakest sign: a hybrid CD image's boot code comes first.
    if (looksLikeLzmaAlone(file))
        return ContainerSignature::CompressedStream;
    return ContainerSignature::None;
}

ContainerKind sniffContainer(const ByteSource& source)
{
    switch (containerSignature(source)) {
    case ContainerSignature::None: return ContainerKind::None;
    case ContainerSignature::CompoundFile: return ContainerKind::Installer;
    default: return ContainerKind::Archive;
    }
}

bool hasContainerName(const std::string& name)
{
    static constexpr std::array<std::string_view, 19> kEndings = {
        ".zip", ".7z", ".cab", ".tar", ".tgz",  ".tbz", ".tbz2", ".txz", ".tzst", ".gz",
        ".bz2", ".xz", ".zst", ".lz",  ".lzma", ".iso", ".rar",  ".msi", ".msp"};
    const std::string lower = asciiLowered(name);
    for (const std::string_view ending : kEndings)
        if (lower.ends_with(ending))
            return true;
    return false;
}

} // namespace gb
