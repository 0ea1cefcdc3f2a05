#include "core/containers/tar_members.h"

#include "core/containers/member_name.h"

#include <algorithm>
#include <string_view>

namespace gb {

namespace {

constexpr std::uint64_t kBlock = 512;
// The header's fields.
constexpr std::size_t kName = 0, kNameSize = 100;
constexpr std::size_t kSize = 124, kSizeSize = 12;
constexpr std::size_t kChecksum = 148, kChecksumSize = 8;
constexpr std::size_t kType = 156;
constexpr std::size_t kMagic = 257;
constexpr std::size_t kPrefix = 345, kPrefixSize = 155;
// Far past any real software collection; a tar of a million empty files is
// 1 GB of headers.
constexpr std::size_t kMostFiles = 1'000'000;

using Failure = std::unexpected<std::string>;

std::string_view field(std::span<const std::byte> header, std::size_t at, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(header.data()) + at, size);
    return text.substr(0, text.find('\0'));
}

// An octal number, spaces or NULs around it; nothing else.
std::optional<std::uint64_t> octal(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '7')
            return std::nullopt;
        value = value * 8 + static_cast<std::uint64_t>(digit - '0'); // 12 digits: below 2^36
    }
    return value;
}

bool ascii(std::string_view text)
{
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::expected<StoredMembers, std::string> readTarMembers(const ByteSource& tar)
{
    StoredMembers members;
    for (std::uint64_t at = 0; at + kBlock <= tar.size();) {
        const auto block = readRange(tar, at, kBlock);
        if (!block)
            return Failure("the tar ends early");
        const std::span<const std::byte> header(*block);
        if (std::ranges::all_of(header, [](std::byte b) { return b == std::byte{0}; }))
            break; // the end-of-archive blocks
        // The checksum is the sum of the header's bytes, its own field as spaces.
        const auto stored =
            octal(std::string_view(reinterpret_cast<const char*>(header.data()) + kChecksum, kChecksumSize));
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < kBlock; ++i)
            sum += (i >= kChecksum && i < kChecksum + kChecksumSize) ? ' '
                                                                     : std::to_integer<unsigned>(header[i]);
        if (!stored || *stored != sum)
            return Failure("a header whose checksum fails");
        const std::string_view magic = field(header, kMagic, 6);
        if (magic != "ustar" && magic != "ustar ")
            return Failure("a header of an older tar");
        const auto size =
            octal(std::string_view(reinterpret_cast<const char*>(header.data()) + kSize, kSizeSize));
        if (!size)
            return Failure("a size in base 256");
        const char type = static_cast<char>(header[kType]);
        std::string name(field(header, kName, kNameSize));
        // POSIX ustar keeps a long name's folders in the prefix; GNU tar's
        // headers keep other fields there.
        if (magic == "ustar") {
            const std::string_view prefix = field(header, kPrefix, kPrefixSize);
            if (!prefix.empty()) {
                std::string full(prefix);
                full += '/';
                full += name;
                name = std::move(full);
            }
        }
        if (!ascii(name))
            return Failure("a name that is not ASCII");
        const std::uint64_t data = at + kBlock;
        if (type == '0' || type == '\0') {
            if (members.size() >= kMostFiles)
                return Failure("too many files");
            members.push_back(StoredMember{normaliseMemberName(name), data, *size});
        } else if (type != '5' && type != '1' && type != '2' && type != '3' && type != '4' && type != '6') {
            // pax headers, GNU long names, sparse files, volume labels:
            // names or data that are not the header's alone.
            return Failure(std::string("a header of type ") + type);
        }
        // Hard links, links, devices, folders and FIFOs hold no data.
        const std::uint64_t held = (type == '0' || type == '\0') ? *size : 0;
        at = data + (held + kBlock - 1) / kBlock * kBlock;
    }
    return members;
}

} // namespace gb
