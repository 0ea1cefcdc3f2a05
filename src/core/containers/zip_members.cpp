#include "core/containers/zip_members.h"

#include "core/containers/member_name.h"

#include <algorithm>
#include <string_view>

namespace gb {

namespace {

// The end of central directory record: its signature and fields.
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint64_t kEndSize = 22;
constexpr std::uint64_t kLongestComment = 0xFFFF;
// The central directory's file headers.
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint64_t kCentralSize = 46;
// The local file headers.
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint64_t kLocalSize = 30;
constexpr std::uint16_t kEncryptedFlag = 0x0001;
constexpr std::uint16_t kStored = 0;
constexpr std::uint8_t kUnixHost = 3; // "version made by", high byte
constexpr std::uint32_t kTypeMask = 0170000, kRegularType = 0100000, kFolderType = 0040000;
// A central directory of a million files is about 60 MB.
constexpr std::uint64_t kLargestDirectory = std::uint64_t{64} << 20;
constexpr std::size_t kMostFiles = 1'000'000;

using Failure = std::unexpected<std::string>;

bool ascii(std::string_view text)
{
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::expected<StoredMembers, std::string> readStoredZipMembers(const ByteSource& zip)
{
    if (zip.size() < kEndSize)
        return Failure("no end record");
    const std::uint64_t tailSize = std::min<std::uint64_t>(zip.size(), kEndSize + kLongestComment);
    const auto tail = readRange(zip, zip.size() - tailSize, tailSize);
    if (!tail)
        return Failure("the zip ends early");
    const ByteReader end(*tail);
    // The last end record whose comment reaches exactly to the end.
    std::optional<ByteReader> record;
    for (std::uint64_t at = tailSize - kEndSize + 1; at-- > 0;) {
        if (end.u32le(at) == kEndSignature && at + kEndSize + *end.u16le(at + 20) == tailSize) {
            record = end.sub(at, kEndSize);
            break;
        }
    }
    if (!record)
        return Failure("no end record");
    const std::uint16_t disk = *record->u16le(4), directoryDisk = *record->u16le(6);
    const std::uint16_t entriesHere = *record->u16le(8), entries = *record->u16le(10);
    const std::uint32_t directorySize = *record->u32le(12), directoryAt = *record->u32le(16);
    if (disk != 0 || directoryDisk != 0 || entriesHere != entries)
        return Failure("a split zip");
    if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryAt == 0xFFFFFFFF)
        return Failure("a Zip64 zip");
    if (directorySize > kLargestDirectory)
        return Failure("a central directory too large");
    const auto directoryBytes = readRange(zip, directoryAt, directorySize);
    if (!directoryBytes)
        return Failure("a central directory past the end");
    const ByteReader directory(*directoryBytes);

    StoredMembers members;
    std::uint64_t at = 0;
    for (std::uint16_t n = 0; n < entries; ++n) {
        const auto header = directory.sub(at, kCentralSize);
        if (!header || *header->u32le(0) != kCentralSignature)
            return Failure("a damaged central directory");
        const std::uint8_t host = static_cast<std::uint8_t>(*header->u16le(4) >> 8);
        const std::uint16_t flags = *header->u16le(8), method = *header->u16le(10);
        const std::uint32_t packed = *header->u32le(20), size = *header->u32le(24);
        const std::uint16_t nameLength = *header->u16le(28), extraLength = *header->u16le(30),
                            commentLength = *header->u16le(32);
        const std::uint32_t attributes = *header->u32le(38), localAt = *header->u32le(42);
        const auto nameBytes = directory.sub(at + kCentralSize, nameLength);
        if (!nameBytes)
            return Failure("a damaged central directory");
        at += kCentralSize + nameLength + extraLength + commentLength;
        const std::string name(reinterpret_cast<const char*>(nameBytes->bytes().data()), nameLength);
        if (!ascii(name))
            return Failure("a name that is not ASCII");
        const std::uint32_t type = host == kUnixHost ? (attributes >> 16) & kTypeMask : 0;
        if (name.ends_with('/') || type == kFolderType)
            continue;
        if (type != 0 && type != kRegularType)
            return Failure("a link or device");
        if (flags & kEncryptedFlag)
            return Failure("an encrypted file");
        if (method != kStored || packed != size)
            return Failure("a compressed file");
        if (packed == 0xFFFFFFFF || localAt == 0xFFFFFFFF)
            return Failure("a Zip64 file");
        if (members.size() >= kMostFiles)
            return Failure("too many files");
        // The data follows the local header, whose name and extra field
        // may differ in length from the central directory's.
        const auto local = readRange(zip, localAt, kLocalSize);
        if (!local)
            return Failure("a local header past the end");
        const ByteReader localHeader(*local);
        if (*localHeader.u32le(0) != kLocalSignature)
            return Failure("a damaged local header");
        const std::uint64_t data =
            std::uint64_t{localAt} + kLocalSize + *localHeader.u16le(26) + *localHeader.u16le(28);
        members.push_back(StoredMember{normaliseMemberName(name), data, size});
    }
    std::stable_sort(members.begin(), members.end(),
                     [](const StoredMember& a, const StoredMember& b) { return a.offset < b.offset; });
    return members;
}

} // namespace gb
