#include "core/containers/compound_directory.h"

#include <algorithm>
#include <array>
#include <optional>

namespace gb {
namespace {

// The Compound File Binary format's header fields.
constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint64_t kSectorShift = 30;    // u16: sector size as a power of two
constexpr std::uint64_t kFatSectors = 44;     // u32: sectors of the allocation table
constexpr std::uint64_t kFirstDirSector = 48; // u32
constexpr std::uint64_t kFirstDifSector = 68; // u32: where the table's list goes on past the header
constexpr std::uint64_t kDifSectors = 72;     // u32
constexpr std::uint64_t kHeaderFat = 76;      // u32[109]: the first 109 sectors of the table
constexpr std::uint32_t kHeaderFatCount = 109;
constexpr std::uint64_t kHeaderSize = 512;
constexpr std::uint64_t kEntrySize = 128;
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFF9; // above: end of chain, free, table sectors
constexpr std::uint64_t kLeftSibling = 68;               // u32, in a directory entry
constexpr std::uint64_t kRightSibling = 72;              // u32
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

class Chains {
public:
    Chains(const SourceReader& file, unsigned shift) : file_(file), shift_(shift) {}

    // The sector after `sector` in its chain; nothing at the chain's end or
    // where libgsf would have refused the table.
    std::optional<std::uint32_t> next(std::uint32_t sector) const
    {
        const std::uint32_t perSector = 1u << (shift_ - 2);
        const auto fatSector = tableSector(sector / perSector);
        if (!fatSector)
            return std::nullopt;
        return at(*fatSector, sector % perSector);
    }

    // Where the index-th sector of the allocation table lives: the header
    // lists the first 109, a chain of list sectors the rest (each ends
    // with the next one's number).
    std::optional<std::uint32_t> tableSector(std::uint32_t index) const
    {
        // libgsf refuses a table with more sectors than the file has.
        const auto count = file_.u32le(kFatSectors);
        if (!count || index >= *count || *count >= (file_.size() >> shift_))
            return std::nullopt;
        if (index < kHeaderFatCount)
            return file_.u32le(kHeaderFat + std::uint64_t{index} * 4);
        const std::uint32_t perList = (1u << (shift_ - 2)) - 1;
        const auto lists = file_.u32le(kDifSectors);
        const std::uint32_t hops = (index - kHeaderFatCount) / perList;
        if (!lists || hops >= *lists)
            return std::nullopt;
        // A directory's sectors mostly follow one another, so the walk along
        // the list chain goes on from where the last lookup left it.
        if (hops < listHop_ || !list_) {
            listHop_ = 0;
            list_ = file_.u32le(kFirstDifSector);
        }
        for (; list_ && listHop_ < hops; ++listHop_)
            list_ = at(*list_, perList);
        return list_ ? at(*list_, (index - kHeaderFatCount) % perList) : std::nullopt;
    }

    std::optional<std::uint32_t> at(std::uint32_t sector, std::uint32_t slot) const
    {
        if (sector > kLastRegularSector)
            return std::nullopt;
        return file_.u32le(start(sector) + std::uint64_t{slot} * 4);
    }

    std::uint64_t start(std::uint32_t sector) const
    {
        // The header fills the first sector, whatever its size.
        return std::max(kHeaderSize, std::uint64_t{1} << shift_) + (std::uint64_t{sector} << shift_);
    }

private:
    const SourceReader& file_;
    unsigned shift_;
    mutable std::uint32_t listHop_ = 0;
    mutable std::optional<std::uint32_t> list_;
};

} // namespace

std::optional<std::string> directoryRefusal(const SourceReader& file)
{
    const auto shift = file.u16le(kSectorShift);
    // libgsf takes sectors of 2^6 to 2^30 bytes; the rest it refuses itself.
    if (!file.startsWith(0, kSignature) || !shift || *shift < 6 || *shift > 30)
        return std::nullopt;
    const Chains chains(file, *shift);
    const auto first = file.u32le(kFirstDirSector);
    if (first && *first <= kLastRegularSector) {
        const std::uint64_t root = chains.start(*first);
        const auto left = file.u32le(root + kLeftSibling), right = file.u32le(root + kRightSibling);
        if ((left && *left != kNoStream) || (right && *right != kNoStream))
            return "the root entry has siblings";
    }
    // Sectors of 64 bytes still hold a whole entry each, as libgsf reads them.
    const std::uint64_t perSector = std::max<std::uint64_t>((std::uint64_t{1} << *shift) / kEntrySize, 1);
    // A chain that loops is as long as the loop lets it be, so it fails too.
    auto sector = first;
    for (std::uint64_t entries = 0; sector && *sector <= kLastRegularSector; sector = chains.next(*sector)) {
        entries += perSector;
        if (entries > kMaxDirectoryEntries)
            return "more than " + std::to_string(kMaxDirectoryEntries) + " directory entries";
    }
    return std::nullopt;
}

} // namespace gb
