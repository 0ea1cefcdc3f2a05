#include "core/containers/iso9660_members.h"

#include "core/containers/member_name.h"

#include <algorithm>
#include <set>
#include <utility>

namespace gb {

namespace {

// The logical block every image we map uses; ECMA-119 allows 512 and 1024
// too, which no writer in use makes: such an image goes the general way.
constexpr std::uint64_t kBlock = 2048;
// The volume descriptors start at sector 16, after the system area.
constexpr std::uint64_t kFirstDescriptor = 16;
// Real images hold two to four descriptors before the terminator.
constexpr std::uint64_t kMostDescriptors = 64;
constexpr std::uint8_t kPrimaryDescriptor = 1;
constexpr std::uint8_t kTerminator = 255;
// The primary volume descriptor's fields.
constexpr std::uint64_t kBlockSizeField = 128;
constexpr std::uint64_t kRootRecordField = 156;
constexpr std::uint64_t kRootRecordSize = 34;
// A directory record's fields.
constexpr std::uint64_t kExtAttrLength = 1;
constexpr std::uint64_t kExtent = 2;
constexpr std::uint64_t kDataLength = 10;
constexpr std::uint64_t kFlags = 25;
constexpr std::uint64_t kFileUnitSize = 26;
constexpr std::uint64_t kInterleaveGap = 27;
constexpr std::uint64_t kNameLength = 32;
constexpr std::uint64_t kName = 33;
constexpr std::uint8_t kDirectoryFlag = 0x02;
constexpr std::uint8_t kAssociatedFlag = 0x04; // a Macintosh resource fork and the like: no file of its own
constexpr std::uint8_t kNotFinalFlag = 0x80;   // the file goes on in a further extent
// Bounds against hostile directories: a folder's records read at once,
// folders nested (Rock Ridge images nest as deep as their trees; 64 is far
// past real software), files in all, continuation areas followed per record.
constexpr std::uint64_t kLargestDirectory = std::uint64_t{16} << 20;
constexpr std::size_t kDeepest = 64;
constexpr std::size_t kMostFiles = 1'000'000;
constexpr int kMostContinuations = 16;
// POSIX file types in a Rock Ridge PX entry's mode.
constexpr std::uint32_t kTypeMask = 0170000;
constexpr std::uint32_t kRegularType = 0100000;

using Failure = std::unexpected<std::string>;

// What a record's System Use entries say.
struct RockRidge {
    bool sharing = false;  // an SP entry (in the root's "." record): the protocol is in use
    std::uint8_t skip = 0; // SP: bytes to pass at the start of every other record's area
    bool hasName = false;
    std::string name;
    bool regular = true; // PX absent: a plain file
};

class Reader {
public:
    explicit Reader(const ByteSource& image) : image_(image) {}

    std::expected<StoredMembers, std::string> read()
    {
        auto root = rootRecord();
        if (!root)
            return Failure(root.error());
        const ByteReader rootRecordBytes(*root);
        auto rootArea = directoryArea(extentOf(rootRecordBytes));
        if (!rootArea)
            return Failure(rootArea.error());
        // The root's own "." record says whether Rock Ridge names are there.
        const ByteReader rootBytes(*rootArea);
        auto dot = recordAt(rootBytes, 0);
        if (!dot)
            return Failure(dot.error());
        RockRidge first;
        if (auto parsed = systemUse(*dot, 0, first); !parsed)
            return Failure(parsed.error());
        if (!first.sharing)
            return Failure("no Rock Ridge names");
        skip_ = first.skip;

        struct Folder {
            Extent extent;
            std::string path;
            std::size_t depth;
        };
        std::vector<Folder> pending{{extentOf(rootRecordBytes), {}, 0}};
        std::set<std::uint64_t> seen;
        StoredMembers members;
        while (!pending.empty()) {
            const Folder folder = std::move(pending.back());
            pending.pop_back();
            if (!seen.insert(folder.extent.offset).second)
                return Failure("a folder is listed twice");
            auto area = directoryArea(folder.extent);
            if (!area)
                return Failure(area.error());
            const ByteReader records(*area);
            std::vector<Folder> children;
            for (std::uint64_t pos = 0; pos < records.size();) {
                const auto length = *records.u8(pos);
                if (length == 0) { // records never cross a block: the rest of this one is empty
                    pos = (pos / kBlock + 1) * kBlock;
                    continue;
                }
                auto record = recordAt(records, pos);
                if (!record)
                    return Failure(record.error());
                pos += length;
                const std::uint8_t nameLength = *record->u8(kNameLength);
                const std::uint8_t firstNameByte = *record->u8(kName);
                if (nameLength == 1 && firstNameByte <= 1)
                    continue; // "." and ".."
                const std::uint8_t flags = *record->u8(kFlags);
                if (flags & kNotFinalFlag)
                    return Failure("a file in several extents");
                if (*record->u8(kFileUnitSize) != 0 || *record->u8(kInterleaveGap) != 0)
                    return Failure("an interleaved file");
                if (flags & kAssociatedFlag)
                    continue;
                RockRidge entry;
                if (auto parsed = systemUse(*record, skip_, entry); !parsed)
                    return Failure(parsed.error());
                if (!entry.hasName || entry.name.empty())
                    return Failure("a record without a Rock Ridge name");
                std::string path = folder.path.empty() ? entry.name : folder.path + "/" + entry.name;
                if (flags & kDirectoryFlag) {
                    if (folder.depth + 1 >= kDeepest)
                        return Failure("folders nested too deep");
                    children.push_back(Folder{extentOf(*record), std::move(path), folder.depth + 1});
                    continue;
                }
                if (!entry.regular)
                    continue;
                if (members.size() >= kMostFiles)
                    return Failure("too many files");
                const Extent extent = extentOf(*record);
                members.push_back(StoredMember{normaliseMemberName(path), extent.offset, extent.size});
            }
            // Taken first to last, as the folder lists them.
            pending.insert(pending.end(), std::make_move_iterator(children.rbegin()),
                           std::make_move_iterator(children.rend()));
        }
        // The archive reader hands files on as their data lies on the disc;
        // the walk keeps that order, ties in folder order.
        std::stable_sort(members.begin(), members.end(),
                         [](const StoredMember& a, const StoredMember& b) { return a.offset < b.offset; });
        return members;
    }

private:
    // Where a record's data lies: its extended attributes come first.
    struct Extent {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };
    static Extent extentOf(ByteReader record)
    {
        return {(*record.u32le(kExtent) + std::uint64_t{*record.u8(kExtAttrLength)}) * kBlock,
                *record.u32le(kDataLength)};
    }

    // The primary volume descriptor's root record, checked, copied.
    std::expected<std::vector<std::byte>, std::string> rootRecord()
    {
        for (std::uint64_t n = 0; n < kMostDescriptors; ++n) {
            auto descriptor = readRange(image_, (kFirstDescriptor + n) * kBlock, kBlock);
            if (!descriptor)
                return Failure("the volume descriptors are cut short");
            const ByteReader bytes(*descriptor);
            const auto magic = bytes.sub(1, 5);
            if (!magic ||
                std::string_view(reinterpret_cast<const char*>(magic->bytes().data()), 5) != "CD001")
                return Failure("no volume descriptor");
            const std::uint8_t type = *bytes.u8(0);
            if (type == kTerminator)
                break;
            if (type != kPrimaryDescriptor)
                continue;
            if (*bytes.u16le(kBlockSizeField) != kBlock)
                return Failure("a block size other than 2048");
            auto root = bytes.sub(kRootRecordField, kRootRecordSize);
            if (!root || *root->u8(0) != kRootRecordSize)
                return Failure("a damaged root record");
            return std::vector<std::byte>(root->bytes().begin(), root->bytes().end());
        }
        return Failure("no primary volume descriptor");
    }

    // The record at pos of a directory's records, its own length checked.
    static std::expected<ByteReader, std::string> recordAt(ByteReader records, std::uint64_t pos)
    {
        const auto length = records.u8(pos);
        if (!length || *length < kName + 1)
            return Failure("a damaged directory record");
        auto record = records.sub(pos, *length);
        if (!record || kName + *record->u8(kNameLength) > *length)
            return Failure("a damaged directory record");
        return *record;
    }

    // A folder's records, read whole.
    std::expected<std::vector<std::byte>, std::string> directoryArea(Extent extent)
    {
        if (extent.size > kLargestDirectory)
            return Failure("a folder too large");
        auto bytes = readRange(image_, extent.offset, extent.size);
        if (!bytes)
            return Failure("a folder past the end of the image");
        return std::move(*bytes);
    }

    // The record's System Use area: from after the name (and its pad byte,
    // when the name's length is even), past the bytes SP says to skip.
    std::expected<void, std::string> systemUse(ByteReader record, std::uint8_t skip, RockRidge& out)
    {
        const std::uint64_t nameLength = *record.u8(kNameLength);
        const std::uint64_t start = kName + nameLength + (nameLength % 2 == 0 ? 1 : 0) + skip;
        int continuations = 0;
        return entries(record.tail(start), out, continuations);
    }

    std::expected<void, std::string> entries(ByteReader area, RockRidge& out, int& continuations)
    {
        std::optional<std::vector<std::byte>> more; // a continuation area, read after this one
        for (std::uint64_t pos = 0; pos + 4 <= area.size();) {
            const std::uint8_t length = *area.u8(pos + 2);
            if (length < 4 || !area.fits(pos, length))
                break; // padding, or the area's end
            const ByteReader entry = *area.sub(pos, length);
            pos += length;
            const auto signature = std::string_view(reinterpret_cast<const char*>(entry.bytes().data()), 2);
            if (signature == "ST")
                break;
            if (signature == "SP" && length >= 7) {
                out.sharing = *entry.u8(4) == 0xBE && *entry.u8(5) == 0xEF;
                out.skip = *entry.u8(6);
            } else if (signature == "NM" && length >= 5) {
                const std::uint8_t flags = *entry.u8(4);
                if (flags & 0x06) // the current or the parent folder: no name of its own
                    continue;
                const ByteReader name = entry.tail(5);
                out.name.append(reinterpret_cast<const char*>(name.bytes().data()), name.size());
                out.hasName = true;
            } else if (signature == "PX" && length >= 8) {
                out.regular = (*entry.u32le(4) & kTypeMask) == kRegularType;
            } else if (signature == "SL") {
                out.regular = false;
            } else if (signature == "CL" || signature == "RE") {
                return Failure("relocated folders");
            } else if (signature == "ZF") {
                return Failure("a zisofs-compressed file");
            } else if (signature == "CE" && length >= 28) {
                if (++continuations > kMostContinuations)
                    return Failure("too many continuation areas");
                const std::uint64_t at = std::uint64_t{*entry.u32le(4)} * kBlock + *entry.u32le(12);
                const std::uint64_t size = *entry.u32le(20);
                if (size > kBlock)
                    return Failure("a continuation area too large");
                more = readRange(image_, at, size);
                if (!more)
                    return Failure("a continuation area past the end of the image");
            }
        }
        if (!more)
            return {};
        const std::vector<std::byte> next = std::move(*more);
        return entries(ByteReader(next), out, continuations);
    }

    const ByteSource& image_;
    std::uint8_t skip_ = 0;
};

} // namespace

std::expected<StoredMembers, std::string> readIso9660Members(const ByteSource& image)
{
    return Reader(image).read();
}

} // namespace gb
