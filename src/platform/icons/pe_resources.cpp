#include "platform/icons/pe_resources.h"

#include <algorithm>

// Offsets follow the PE format documentation (IMAGE_DOS_HEADER,
// IMAGE_NT_HEADERS32/64, IMAGE_SECTION_HEADER, IMAGE_RESOURCE_DIRECTORY).

namespace gb {

namespace {

constexpr std::uint8_t kMz[] = {'M', 'Z'};
constexpr std::uint8_t kPeSignature[] = {'P', 'E', 0, 0};

constexpr std::uint64_t kLfanewOffset = 0x3c;
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint16_t kMagicPe32 = 0x10b;
constexpr std::uint16_t kMagicPe32Plus = 0x20b;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kDirectoryEntrySize = 8;
constexpr std::uint64_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;

// The loader refuses more than 96 sections; we accept what the format's
// 16-bit count allows, bounded by the file anyway.
constexpr std::uint32_t kMaxSections = 0xffff;

// A resource directory lists at most 2 x 65535 entries. Icon-bearing files
// have a handful of types and rarely more than a few thousand icons; the
// cap bounds the work of a hostile directory.
constexpr std::uint32_t kMaxEntriesPerDirectory = 0x1fffe;

// Icon images (RT_ICON leaves, all languages) we index per file. Every name
// of a hostile file may point at one shared directory of 131070 languages,
// so the index is capped by the file's size: a real icon costs at least a
// directory entry, a data entry and a 40-byte header, over 64 bytes.
constexpr std::uint64_t kMinBytesPerIcon = 64;

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawPointer;
};

struct PeImage {
    ByteReader file;
    std::vector<Section> sections;
    std::uint32_t sizeOfHeaders = 0;

    // Maps an RVA to a file offset as the loader lays the image out: inside a
    // section's raw data, or inside the headers, which are mapped at RVA 0.
    std::optional<std::uint64_t> offsetOf(std::uint32_t rva, std::uint32_t length) const
    {
        for (const Section& s : sections) {
            const std::uint64_t span = std::max(s.virtualSize, s.rawSize);
            const std::uint64_t start = s.virtualAddress;
            if (rva < start || rva >= start + span)
                continue;
            const std::uint64_t delta = rva - start;
            // Bytes past the raw data are zero in memory but absent from the
            // file; data that reaches there cannot be read.
            if (delta + length > s.rawSize)
                return std::nullopt;
            const std::uint64_t offset = std::uint64_t{s.rawPointer} + delta;
            if (!file.fits(offset, length))
                return std::nullopt;
            return offset;
        }
        if (std::uint64_t{rva} + length <= sizeOfHeaders && file.fits(rva, length))
            return rva;
        return std::nullopt;
    }
};

std::optional<std::uint64_t> peHeaderOffset(const ByteReader& file)
{
    if (!file.startsWith(0, kMz))
        return std::nullopt;
    const auto lfanew = file.u32le(kLfanewOffset);
    // A small e_lfanew that makes the PE header overlap the DOS header is
    // legal (packers do it); the loader only needs the signature there.
    if (!lfanew || !file.startsWith(*lfanew, kPeSignature))
        return std::nullopt;
    return *lfanew;
}

std::expected<PeImage, ReadFailure> readPeImage(const ByteReader& file, std::uint64_t pe,
                                                std::uint64_t& resourceRva, std::uint64_t& resourceSize)
{
    const std::uint64_t coff = pe + 4;
    const auto sectionCount = file.u16le(coff + 2);
    const auto optionalSize = file.u16le(coff + 16);
    const std::uint64_t optional = coff + kCoffHeaderSize;
    const auto magic = file.u16le(optional);
    if (!sectionCount || !optionalSize || !magic)
        return std::unexpected(ReadFailure{ReadError::Truncated, coff});

    std::uint64_t countField = 0, directories = 0;
    if (*magic == kMagicPe32) {
        countField = optional + 92;
        directories = optional + 96;
    } else if (*magic == kMagicPe32Plus) {
        countField = optional + 108;
        directories = optional + 112;
    } else {
        return std::unexpected(ReadFailure{ReadError::BadMagic, optional});
    }

    PeImage image;
    image.file = file;
    const auto sizeOfHeaders = file.u32le(optional + 60);
    const auto directoryCount = file.u32le(countField);
    if (!sizeOfHeaders || !directoryCount)
        return std::unexpected(ReadFailure{ReadError::Truncated, optional});
    image.sizeOfHeaders = *sizeOfHeaders;

    resourceRva = 0;
    resourceSize = 0;
    if (*directoryCount > kResourceDirectoryIndex &&
        directories + 8 * (kResourceDirectoryIndex + 1) <= optional + *optionalSize) {
        const auto rva = file.u32le(directories + 8 * kResourceDirectoryIndex);
        const auto size = file.u32le(directories + 8 * kResourceDirectoryIndex + 4);
        if (!rva || !size)
            return std::unexpected(ReadFailure{ReadError::Truncated, directories});
        resourceRva = *rva;
        resourceSize = *size;
    }

    const std::uint64_t table = optional + *optionalSize;
    const std::uint32_t count = std::min<std::uint32_t>(*sectionCount, kMaxSections);
    if (!file.fits(table, count * kSectionHeaderSize))
        return std::unexpected(ReadFailure{ReadError::Truncated, table});
    image.sections.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = table + i * kSectionHeaderSize;
        image.sections.push_back(
            Section{*file.u32le(at + 12), *file.u32le(at + 8), *file.u32le(at + 16), *file.u32le(at + 20)});
    }
    return image;
}

// A resource directory: its entries, read within the resource section.
struct DirectoryEntry {
    bool named;
    std::uint32_t nameOrId; // id, or name string offset from the resource root
    bool subdirectory;
    std::uint32_t target; // offset from the resource root
};

class ResourceTree {
public:
    ResourceTree(const PeImage& image, std::uint64_t rootOffset, ByteReader section)
        : image_(image), root_(rootOffset), section_(section),
          maxIconImages_(image.file.size() / kMinBytesPerIcon)
    {
    }

    // The first `limit` entries of a directory.
    std::expected<std::vector<DirectoryEntry>, ReadFailure>
    entries(std::uint32_t dirOffset, std::uint32_t limit = kMaxEntriesPerDirectory) const
    {
        const auto named = section_.u16le(std::uint64_t{dirOffset} + 12);
        const auto ids = section_.u16le(std::uint64_t{dirOffset} + 14);
        if (!named || !ids)
            return std::unexpected(ReadFailure{ReadError::Truncated, root_ + dirOffset});
        const std::uint32_t total = std::min(std::uint32_t{*named} + *ids, limit);
        const std::uint64_t first = std::uint64_t{dirOffset} + kDirectoryHeaderSize;
        if (!section_.fits(first, total * kDirectoryEntrySize))
            return std::unexpected(ReadFailure{ReadError::Truncated, root_ + first});

        std::vector<DirectoryEntry> result;
        result.reserve(total);
        for (std::uint32_t i = 0; i < total; ++i) {
            const std::uint64_t at = first + i * kDirectoryEntrySize;
            const std::uint32_t name = *section_.u32le(at);
            const std::uint32_t target = *section_.u32le(at + 4);
            result.push_back(DirectoryEntry{(name & kHighBit) != 0, name & ~kHighBit,
                                            (target & kHighBit) != 0, target & ~kHighBit});
        }
        return result;
    }

    // The first leaf below a subdirectory entry (its first language), as a
    // blob. Returns the fault when the entry is unusable.
    ResourceBlob firstLeaf(const DirectoryEntry& nameEntry, std::uint16_t id) const
    {
        ResourceBlob blob;
        blob.id = id;
        blob.offset = root_ + nameEntry.target;
        if (!nameEntry.subdirectory)
            return blob; // a name level without languages: nothing to read
        auto languages = entries(nameEntry.target, 1);
        if (!languages || languages->empty())
            return blob;
        const DirectoryEntry& leaf = languages->front();
        blob.language = static_cast<std::uint16_t>(leaf.nameOrId);
        fillData(leaf, blob);
        return blob;
    }

    // Every language leaf below a name entry.
    void allLeaves(const DirectoryEntry& nameEntry, std::uint16_t id, std::vector<ResourceBlob>& out) const
    {
        if (!nameEntry.subdirectory || out.size() >= maxIconImages_)
            return;
        const std::uint64_t room =
            std::min<std::uint64_t>(maxIconImages_ - out.size(), kMaxEntriesPerDirectory);
        auto languages = entries(nameEntry.target, static_cast<std::uint32_t>(room));
        if (!languages)
            return;
        for (const DirectoryEntry& leaf : *languages) {
            ResourceBlob blob;
            blob.id = id;
            blob.language = static_cast<std::uint16_t>(leaf.nameOrId);
            blob.offset = root_ + leaf.target;
            fillData(leaf, blob);
            out.push_back(blob);
        }
    }

private:
    // Windows uses exactly three levels (type, name, language); a leaf that
    // is itself a directory is malformed, and we never follow it further, so
    // a directory that points back at itself cannot make us loop.
    void fillData(const DirectoryEntry& leaf, ResourceBlob& blob) const
    {
        if (leaf.subdirectory)
            return;
        const auto rva = section_.u32le(leaf.target);
        const auto size = section_.u32le(std::uint64_t{leaf.target} + 4);
        if (!rva || !size || !section_.fits(leaf.target, kDataEntrySize))
            return;
        const auto offset = image_.offsetOf(*rva, *size);
        if (!offset)
            return;
        blob.offset = *offset;
        blob.data = image_.file.sub(*offset, *size);
    }

    const PeImage& image_;
    std::uint64_t root_;
    ByteReader section_; // from the resource root to the end of its section
    std::uint64_t maxIconImages_;
};

std::optional<std::uint16_t> numericId(const DirectoryEntry& e)
{
    if (e.named || e.nameOrId > 0xffff)
        return std::nullopt;
    return static_cast<std::uint16_t>(e.nameOrId);
}

} // namespace

bool looksLikePe(const ByteReader& file)
{
    return peHeaderOffset(file).has_value();
}

std::expected<ResourceSet, ReadFailure> readPeResources(const ByteReader& file)
{
    const auto pe = peHeaderOffset(file);
    if (!pe)
        return std::unexpected(ReadFailure{ReadError::BadMagic, 0});

    std::uint64_t resourceRva = 0, resourceSize = 0;
    auto image = readPeImage(file, *pe, resourceRva, resourceSize);
    if (!image)
        return std::unexpected(image.error());

    ResourceSet set;
    if (resourceRva == 0)
        return set; // no resources, no icons

    // Windows reads the resource tree through the mapped image, so any
    // offset inside the section that holds the root is reachable.
    const auto root = image->offsetOf(static_cast<std::uint32_t>(resourceRva),
                                      static_cast<std::uint32_t>(kDirectoryHeaderSize));
    if (!root)
        return std::unexpected(ReadFailure{ReadError::Truncated, resourceRva});
    std::uint64_t sectionEnd = file.size();
    for (const Section& s : image->sections) {
        const std::uint64_t start = s.rawPointer;
        if (*root >= start && *root < start + s.rawSize)
            sectionEnd = std::min<std::uint64_t>(file.size(), start + s.rawSize);
    }
    const ByteReader section = *file.sub(*root, sectionEnd - *root);
    const ResourceTree tree(*image, *root, section);

    auto types = tree.entries(0);
    if (!types)
        return std::unexpected(types.error());

    for (const DirectoryEntry& type : *types) {
        const auto typeId = numericId(type);
        if (!typeId || (*typeId != kRtIcon && *typeId != kRtGroupIcon) || !type.subdirectory)
            continue;
        auto names = tree.entries(type.target);
        if (!names)
            return std::unexpected(names.error());

        if (*typeId == kRtIcon) {
            for (const DirectoryEntry& name : *names)
                if (const auto id = numericId(name))
                    tree.allLeaves(name, *id, set.icons);
            continue;
        }

        // Named groups first, in the directory's own order (sorted by the
        // linker), then numbered groups by ascending id.
        std::vector<ResourceBlob> named, numbered;
        for (const DirectoryEntry& name : *names) {
            const auto id = numericId(name);
            (name.named ? named : numbered).push_back(tree.firstLeaf(name, id.value_or(0)));
        }
        std::ranges::stable_sort(numbered, {}, &ResourceBlob::id);
        set.groups = std::move(named);
        set.groups.insert(set.groups.end(), numbered.begin(), numbered.end());
    }
    // Groups look their images up by id; languages keep directory order.
    std::ranges::stable_sort(set.icons, {}, &ResourceBlob::id);
    return set;
}

} // namespace gb
