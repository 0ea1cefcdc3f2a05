#include "core/shortcuts/shell_link.h"

#include "core/text/ansi_text.h"
#include "core/text/utf16_text.h"

#include <array>

// Offsets and flags follow the Shell Link binary file format
// (ShellLinkHeader, LinkTargetIDList, LinkInfo, StringData, ExtraData).

namespace gb {

namespace {

// Each field's offset from the start of its structure.

// ShellLinkHeader: HeaderSize holds the header's own size.
constexpr std::uint64_t kHeaderSizeField = 0; // HeaderSize, 4 bytes
constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::uint64_t kLinkClsidOffset = 4;
constexpr std::array<std::uint8_t, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint64_t kFlagsOffset = 0x14;     // LinkFlags
constexpr std::uint64_t kIconIndexOffset = 0x38; // IconIndex

// LinkTargetIDList: IDListSize, 2 bytes, then the list.
constexpr std::uint64_t kIdListSizeBytes = 2;

// LinkInfo.
constexpr std::uint64_t kLinkInfoSize = 0;                   // 4 bytes, the whole structure's
constexpr std::uint64_t kLinkInfoHeaderSize = 4;             // 4 bytes
constexpr std::uint64_t kLinkInfoFlags = 8;                  // 4 bytes
constexpr std::uint64_t kLocalBasePathOffset = 16;           // 4 bytes
constexpr std::uint64_t kCommonPathSuffixOffset = 24;        // 4 bytes
constexpr std::uint64_t kLocalBasePathOffsetUnicode = 28;    // 4 bytes, when the header holds it
constexpr std::uint64_t kCommonPathSuffixOffsetUnicode = 32; // 4 bytes, likewise
constexpr std::uint32_t kUnicodeOffsetsHeaderSize = 0x24;    // a LinkInfoHeaderSize that holds both

// StringData: each string is CountCharacters, 2 bytes, then the characters.
constexpr std::uint64_t kCountCharactersBytes = 2;

// ExtraData: each block is BlockSize and BlockSignature, then its data; a
// BlockSize under 4 is the terminal block.
constexpr std::uint64_t kBlockSize = 0;      // 4 bytes
constexpr std::uint64_t kBlockSignature = 4; // 4 bytes
constexpr std::uint64_t kBlockData = 8;

constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kHasName = 0x4;
constexpr std::uint32_t kHasRelativePath = 0x8;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;

constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kEnvironmentBlock = 0xA0000001;
constexpr std::uint32_t kIconEnvironmentBlock = 0xA0000007;
constexpr std::uint32_t kEnvironmentBlockSize = 0x314;
constexpr std::uint64_t kAnsiTargetBytes = 260;
constexpr std::uint64_t kUnicodeTargetBytes = 520;

// 8-bit text up to its first NUL (or the end of `bytes`), read as
// Windows-1252.
std::string ansiText(const ByteReader& bytes)
{
    std::string text;
    for (std::uint64_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = *bytes.u8(i);
        if (b == 0)
            break;
        text += static_cast<char>(b);
    }
    return utf8FromWindows1252(text);
}

// UTF-16LE text of `units` code units, stopping at a NUL.
std::string utf16Text(const ByteReader& bytes, std::uint64_t units)
{
    std::u16string text;
    for (std::uint64_t i = 0; i < units && bytes.fits(2 * i, 2); ++i) {
        const char16_t u = *bytes.u16le(2 * i);
        if (u == 0)
            break;
        text += u;
    }
    return utf8FromUtf16(text);
}

std::unexpected<ReadFailure> truncatedAt(std::uint64_t offset)
{
    return std::unexpected(ReadFailure{ReadError::Truncated, offset});
}

// LinkInfo's local base path (with its common path suffix), Unicode when
// the structure holds it.
std::optional<std::string> localBasePath(const ByteReader& info)
{
    const auto headerSize = info.u32le(kLinkInfoHeaderSize);
    const auto flags = info.u32le(kLinkInfoFlags);
    const auto baseOffset = info.u32le(kLocalBasePathOffset);
    const auto suffixOffset = info.u32le(kCommonPathSuffixOffset);
    if (!headerSize || !flags || !baseOffset || !suffixOffset || !(*flags & kVolumeIdAndLocalBasePath))
        return std::nullopt;
    if (*headerSize >= kUnicodeOffsetsHeaderSize) {
        const auto baseUnicode = info.u32le(kLocalBasePathOffsetUnicode);
        const auto suffixUnicode = info.u32le(kCommonPathSuffixOffsetUnicode);
        if (baseUnicode && *baseUnicode != 0 && *baseUnicode < info.size()) {
            std::string path = utf16Text(info.tail(*baseUnicode), info.size());
            if (suffixUnicode && *suffixUnicode != 0 && *suffixUnicode < info.size())
                path += utf16Text(info.tail(*suffixUnicode), info.size());
            return path;
        }
    }
    if (*baseOffset >= info.size())
        return std::nullopt;
    std::string path = ansiText(info.tail(*baseOffset));
    if (*suffixOffset != 0 && *suffixOffset < info.size())
        path += ansiText(info.tail(*suffixOffset));
    return path;
}

} // namespace

bool looksLikeShellLink(const ByteReader& bytes)
{
    if (bytes.u32le(kHeaderSizeField) != kHeaderSize || !bytes.fits(kLinkClsidOffset, kLinkClsid.size()))
        return false;
    for (std::size_t i = 0; i < kLinkClsid.size(); ++i)
        if (*bytes.u8(kLinkClsidOffset + i) != kLinkClsid[i])
            return false;
    return true;
}

std::expected<ShellLink, ReadFailure> readShellLink(const ByteReader& bytes)
{
    if (bytes.size() > kMaxShellLinkBytes)
        return std::unexpected(ReadFailure{ReadError::TooLarge, 0});
    if (bytes.size() < kHeaderSize)
        return truncatedAt(0);
    if (!looksLikeShellLink(bytes))
        return std::unexpected(ReadFailure{ReadError::BadMagic, 0});
    const std::uint32_t flags = *bytes.u32le(kFlagsOffset);
    ShellLink link;
    link.iconIndex = *bytes.i32le(kIconIndexOffset);

    std::uint64_t at = kHeaderSize;
    if (flags & kHasLinkTargetIdList) {
        const auto size = bytes.u16le(at);
        if (!size || !bytes.fits(at + kIdListSizeBytes, *size))
            return truncatedAt(at);
        at += kIdListSizeBytes + std::uint64_t{*size};
    }
    if (flags & kHasLinkInfo) {
        const auto size = bytes.u32le(at + kLinkInfoSize);
        // LinkInfoSize counts itself: less than its own 4 bytes is no size.
        if (!size || *size < kLinkInfoHeaderSize || !bytes.fits(at, *size))
            return truncatedAt(at);
        if (!(flags & kForceNoLinkInfo))
            link.localBasePath = localBasePath(*bytes.sub(at, *size));
        at += *size;
    }

    const bool unicode = (flags & kIsUnicode) != 0;
    const std::pair<std::uint32_t, std::optional<std::string> ShellLink::*> strings[] = {
        {kHasName, &ShellLink::name},
        {kHasRelativePath, &ShellLink::relativePath},
        {kHasWorkingDir, &ShellLink::workingFolder},
        {kHasArguments, &ShellLink::arguments},
        {kHasIconLocation, &ShellLink::iconLocation},
    };
    for (const auto& [flag, field] : strings) {
        if (!(flags & flag))
            continue;
        const auto count = bytes.u16le(at);
        const std::uint64_t length = count ? std::uint64_t{*count} * (unicode ? 2 : 1) : 0;
        if (!count || !bytes.fits(at + kCountCharactersBytes, length))
            return truncatedAt(at);
        const ByteReader text = *bytes.sub(at + kCountCharactersBytes, length);
        link.*field = unicode ? utf16Text(text, *count) : ansiText(text);
        at += kCountCharactersBytes + length;
    }

    // Extra data blocks up to the terminal block (a size under 4); a block
    // that runs past the end ends the list, keeping what was read.
    for (;;) {
        const auto size = bytes.u32le(at + kBlockSize);
        const auto signature = bytes.u32le(at + kBlockSignature);
        if (!size || *size < kBlockData || !signature || !bytes.fits(at, *size))
            break;
        if ((*signature == kEnvironmentBlock || *signature == kIconEnvironmentBlock) &&
            *size >= kEnvironmentBlockSize) {
            const ByteReader block = *bytes.sub(at + kBlockData, kAnsiTargetBytes + kUnicodeTargetBytes);
            std::string text = utf16Text(block.tail(kAnsiTargetBytes), kUnicodeTargetBytes / 2);
            if (text.empty())
                text = ansiText(*block.sub(0, kAnsiTargetBytes));
            if (!text.empty())
                (*signature == kEnvironmentBlock ? link.environmentTarget : link.iconEnvironment) =
                    std::move(text);
        }
        at += *size;
    }
    return link;
}

std::optional<std::string> ShellLink::target() const
{
    if (environmentTarget)
        return environmentTarget;
    if (localBasePath && !localBasePath->empty())
        return localBasePath;
    return relativePath;
}

std::optional<std::string> ShellLink::iconFile() const
{
    if (iconEnvironment)
        return iconEnvironment;
    if (iconLocation && !iconLocation->empty())
        return iconLocation;
    return std::nullopt;
}

} // namespace gb
