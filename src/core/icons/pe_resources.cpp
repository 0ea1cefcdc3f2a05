#include "core/icons/pe_resources.h"
#include "core/icons/mz_header.h"
#include "core/text/utf16_text.h"

#include <algorithm>

// Offsets follow the PE format documentation (IMAGE_DOS_HEADER,
// IMAGE_NT_HEADERS32/64, IMAGE_SECTION_HEADER, IMAGE_RESOURCE_DIRECTORY).

namespace gb {

namespace {

constexpr std::uint8_t kPeSignature[] = {'P', 'E', 0, 0};

// Each field's offset from the start of its structure.

// IMAGE_FILE_HEADER (the COFF header), after the signature.
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint64_t kNumberOfSections = 2;      // WORD
constexpr std::uint64_t kSizeOfOptionalHeader = 16; // WORD

// IMAGE_OPTIONAL_HEADER32 and IMAGE_OPTIONAL_HEADER64, after the COFF
// header: Magic tells them apart. SizeOfHeaders stands at one offset in
// both; PE32+ widens the stack and heap sizes to 64 bits, which moves the
// data directories 16 bytes further.
constexpr std::uint64_t kOptionalHeaderMagic = 0; // WORD
constexpr std::uint16_t kMagicPe32 = 0x10b;
constexpr std::uint16_t kMagicPe32Plus = 0x20b;
constexpr std::uint64_t kSizeOfHeaders = 60; // DWORD
constexpr std::uint64_t kPe32NumberOfRvaAndSizes = 92;
constexpr std::uint64_t kPe32DataDirectory = 96;
constexpr std::uint64_t kPe32PlusNumberOfRvaAndSizes = 108;
constexpr std::uint64_t kPe32PlusDataDirectory = 112;

// IMAGE_DATA_DIRECTORY, the third of which is the resource table's.
constexpr std::uint64_t kResourceDirectoryIndex = 2;
constexpr std::uint64_t kDataDirectorySize = 8;
constexpr std::uint64_t kDataDirectoryVirtualAddress = 0; // DWORD
constexpr std::uint64_t kDataDirectoryLength = 4;         // DWORD Size

// IMAGE_SECTION_HEADER, the table after the optional header.
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kSectionVirtualSize = 8;       // DWORD Misc.VirtualSize
constexpr std::uint64_t kSectionVirtualAddress = 12;   // DWORD
constexpr std::uint64_t kSectionSizeOfRawData = 16;    // DWORD
constexpr std::uint64_t kSectionPointerToRawData = 20; // DWORD

// IMAGE_RESOURCE_DIRECTORY, then its entries.
constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kNumberOfNamedEntries = 12; // WORD
constexpr std::uint64_t kNumberOfIdEntries = 14;    // WORD

// IMAGE_RESOURCE_DIRECTORY_ENTRY: the high bit of Name says a name string,
// that of OffsetToData a subdirectory.
constexpr std::uint64_t kDirectoryEntrySize = 8;
constexpr std::uint64_t kEntryName = 0;         // DWORD
constexpr std::uint64_t kEntryOffsetToData = 4; // DWORD
constexpr std::uint32_t kHighBit = 0x80000000u;

// IMAGE_RESOURCE_DATA_ENTRY.
constexpr std::uint64_t kDataEntrySize = 16;
constexpr std::uint64_t kDataEntryOffsetToData = 0; // DWORD, an RVA
constexpr std::uint64_t kDataEntrySizeField = 4;    // DWORD Size

// IMAGE_RESOURCE_DIR_STRING_U.
constexpr std::uint64_t kNameStringLength = 0; // WORD, in UTF-16 units
constexpr std::uint64_t kNameString = 2;

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

// Directory entries read per file. Directories may share and point back at
// each other, so one stored entry can be reached many times; a real file
// reads each of its entries once or twice. Four visits per 8 bytes of file
// plus a floor for tiny files keeps every walk linear in the file's size.
constexpr std::uint64_t kVisitsPerEntryBytes = 4;
constexpr std::uint64_t kMinVisits = 4096;

// Characters of resource names read per file. Every named group of a
// hostile file may point at one string of 65535 characters; real names are
// short, and all of them together fit in the file.
constexpr std::uint64_t kMinNameChars = 1 << 16;

// How often the walk looks at the stop request (entries between looks).
constexpr std::uint64_t kStopCheckInterval = 64;

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawPointer;
};

struct PeImage {
    std::vector<Section> sections;      // by table order
    std::vector<std::size_t> byAddress; // section indices sorted by virtual address
    std::uint32_t sizeOfHeaders = 0;
    std::uint64_t fileSize = 0;

    // Maps an RVA to a file offset as the loader lays the image out: inside a
    // section's raw data, or inside the headers, which are mapped at RVA 0.
    std::optional<std::uint64_t> offsetOf(std::uint32_t rva, std::uint32_t length) const
    {
        if (const Section* s = sectionOf(rva)) {
            const std::uint64_t delta = rva - s->virtualAddress;
            // Bytes past the raw data are zero in memory but absent from the
            // file; data that reaches there cannot be read.
            if (delta + length > s->rawSize)
                return std::nullopt;
            const std::uint64_t offset = std::uint64_t{s->rawPointer} + delta;
            if (offset > fileSize || length > fileSize - offset)
                return std::nullopt;
            return offset;
        }
        if (std::uint64_t{rva} + length <= sizeOfHeaders && std::uint64_t{rva} + length <= fileSize)
            return rva;
        return std::nullopt;
    }

    void sortSections()
    {
        byAddress.resize(sections.size());
        for (std::size_t i = 0; i < sections.size(); ++i)
            byAddress[i] = i;
        std::ranges::stable_sort(byAddress, {}, [&](std::size_t i) { return sections[i].virtualAddress; });
    }

private:
    // The loader lays sections out in address order and refuses overlaps, so
    // an address belongs to the section starting last at or below it (of
    // equal starts, the first in the table): one binary search per lookup.
    const Section* sectionOf(std::uint32_t rva) const
    {
        const auto key = [&](std::size_t i) { return sections[i].virtualAddress; };
        auto it = std::ranges::upper_bound(byAddress, rva, {}, key);
        if (it == byAddress.begin())
            return nullptr;
        const std::uint32_t start = sections[*std::prev(it)].virtualAddress;
        it = std::ranges::lower_bound(byAddress.begin(), it, start, {}, key);
        const Section& s = sections[*it];
        const std::uint64_t span = std::max(s.virtualSize, s.rawSize);
        return rva < std::uint64_t{s.virtualAddress} + span ? &s : nullptr;
    }
};

std::optional<std::uint64_t> peHeaderOffset(const SourceReader& file)
{
    return newHeaderOffset(file, kPeSignature);
}

std::expected<PeImage, ReadFailure> readPeImage(const SourceReader& file, std::uint64_t pe,
                                                std::uint64_t& resourceRva)
{
    const std::uint64_t coff = pe + sizeof kPeSignature;
    const auto sectionCount = file.u16le(coff + kNumberOfSections);
    const auto optionalSize = file.u16le(coff + kSizeOfOptionalHeader);
    const std::uint64_t optional = coff + kCoffHeaderSize;
    const auto magic = file.u16le(optional + kOptionalHeaderMagic);
    if (!sectionCount || !optionalSize || !magic)
        return std::unexpected(ReadFailure{ReadError::Truncated, coff});

    std::uint64_t countField = 0, directories = 0;
    if (*magic == kMagicPe32) {
        countField = optional + kPe32NumberOfRvaAndSizes;
        directories = optional + kPe32DataDirectory;
    } else if (*magic == kMagicPe32Plus) {
        countField = optional + kPe32PlusNumberOfRvaAndSizes;
        directories = optional + kPe32PlusDataDirectory;
    } else {
        return std::unexpected(ReadFailure{ReadError::BadMagic, optional});
    }

    PeImage image;
    image.fileSize = file.size();
    const auto sizeOfHeaders = file.u32le(optional + kSizeOfHeaders);
    const auto directoryCount = file.u32le(countField);
    if (!sizeOfHeaders || !directoryCount)
        return std::unexpected(ReadFailure{ReadError::Truncated, optional});
    image.sizeOfHeaders = *sizeOfHeaders;

    resourceRva = 0;
    if (*directoryCount > kResourceDirectoryIndex &&
        directories + kDataDirectorySize * (kResourceDirectoryIndex + 1) <= optional + *optionalSize) {
        // The entry's size goes unused (the tree is bounded by the section
        // that holds it), but an entry cut short is a truncated file.
        const std::uint64_t entry = directories + kDataDirectorySize * kResourceDirectoryIndex;
        const auto rva = file.u32le(entry + kDataDirectoryVirtualAddress);
        if (!rva || !file.u32le(entry + kDataDirectoryLength))
            return std::unexpected(ReadFailure{ReadError::Truncated, directories});
        resourceRva = *rva;
    }

    // The whole section table in one read.
    const std::uint64_t table = optional + *optionalSize;
    const std::uint32_t count = std::min<std::uint32_t>(*sectionCount, kMaxSections);
    const auto bytes = file.bytes(table, count * kSectionHeaderSize);
    if (!bytes)
        return std::unexpected(ReadFailure{ReadError::Truncated, table});
    const ByteReader headers(*bytes);
    image.sections.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = i * kSectionHeaderSize;
        image.sections.push_back(Section{
            *headers.u32le(at + kSectionVirtualAddress), *headers.u32le(at + kSectionVirtualSize),
            *headers.u32le(at + kSectionSizeOfRawData), *headers.u32le(at + kSectionPointerToRawData)});
    }
    image.sortSections();
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
    ResourceTree(const SourceReader& file, const PeImage& image, std::uint64_t rootOffset,
                 std::uint64_t length, const ReadControl& control)
        : file_(file), image_(image), root_(rootOffset), length_(length), control_(control),
          maxIconImages_(file.size() / kMinBytesPerIcon),
          visitsLeft_(std::max(kMinVisits, file.size() / kDirectoryEntrySize * kVisitsPerEntryBytes)),
          nameCharsLeft_(std::max(kMinNameChars, file.size()))
    {
    }

    // The walk has been told to stop, or has read as many entries as the
    // file's size allows: what is found so far is kept.
    bool cancelled() const { return cancelled_; }
    bool exhausted() const { return visitsLeft_ == 0; }

    // The first `limit` entries of a directory.
    std::expected<std::vector<DirectoryEntry>, ReadFailure>
    entries(std::uint32_t dirOffset, std::uint32_t limit = kMaxEntriesPerDirectory)
    {
        const auto named = u16(std::uint64_t{dirOffset} + kNumberOfNamedEntries);
        const auto ids = u16(std::uint64_t{dirOffset} + kNumberOfIdEntries);
        if (!named || !ids)
            return std::unexpected(ReadFailure{ReadError::Truncated, root_ + dirOffset});
        std::uint32_t total = std::min(std::uint32_t{*named} + *ids, limit);
        total = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, visitsLeft_));
        const std::uint64_t first = std::uint64_t{dirOffset} + kDirectoryHeaderSize;
        if (!inSection(first, total * kDirectoryEntrySize))
            return std::unexpected(ReadFailure{ReadError::Truncated, root_ + first});
        const auto bytes = file_.bytes(root_ + first, total * kDirectoryEntrySize);
        if (!bytes)
            return std::unexpected(ReadFailure{ReadError::Truncated, root_ + first});
        const ByteReader list(*bytes);

        std::vector<DirectoryEntry> result;
        result.reserve(total);
        for (std::uint32_t i = 0; i < total; ++i) {
            if (!visit())
                break;
            const std::uint64_t at = i * kDirectoryEntrySize;
            const std::uint32_t name = *list.u32le(at + kEntryName);
            const std::uint32_t target = *list.u32le(at + kEntryOffsetToData);
            result.push_back(DirectoryEntry{(name & kHighBit) != 0, name & ~kHighBit,
                                            (target & kHighBit) != 0, target & ~kHighBit});
        }
        return result;
    }

    // The first leaf below a subdirectory entry (its first language), as a
    // blob. An unusable entry gives a blob without data; a directory where
    // the data entry must be gives none: that name is no resource at all
    // (a root whose entries lead back to itself would otherwise make
    // thousands of phantom icons).
    std::optional<ResourceBlob> firstLeaf(const DirectoryEntry& nameEntry, std::uint16_t id)
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
        if (leaf.subdirectory)
            return std::nullopt;
        blob.language = static_cast<std::uint16_t>(leaf.nameOrId);
        fillData(leaf, blob);
        return blob;
    }

    // Every language leaf below a name entry.
    void allLeaves(const DirectoryEntry& nameEntry, std::uint16_t id, std::vector<ResourceBlob>& out)
    {
        if (!nameEntry.subdirectory || out.size() >= maxIconImages_)
            return;
        const std::uint64_t room =
            std::min<std::uint64_t>(maxIconImages_ - out.size(), kMaxEntriesPerDirectory);
        auto languages = entries(nameEntry.target, static_cast<std::uint32_t>(room));
        if (!languages)
            return;
        for (const DirectoryEntry& leaf : *languages) {
            if (leaf.subdirectory)
                continue; // no image: a directory where its data entry must be
            ResourceBlob blob;
            blob.id = id;
            blob.language = static_cast<std::uint16_t>(leaf.nameOrId);
            blob.offset = root_ + leaf.target;
            fillData(leaf, blob);
            out.push_back(blob);
        }
    }

    // A named entry's name (IMAGE_RESOURCE_DIR_STRING_U: a character count,
    // then that many UTF-16LE characters), as UTF-8. Empty when it lies
    // outside the section or the file's allowance of name characters is
    // used up.
    std::string name(const DirectoryEntry& entry)
    {
        const auto length = u16(std::uint64_t{entry.nameOrId} + kNameStringLength);
        const std::uint64_t text = std::uint64_t{entry.nameOrId} + kNameString;
        if (!length || *length > nameCharsLeft_ || !inSection(text, std::uint64_t{*length} * 2))
            return {};
        const auto bytes = file_.bytes(root_ + text, std::uint64_t{*length} * 2);
        if (!bytes)
            return {};
        nameCharsLeft_ -= *length;
        const ByteReader units(*bytes);
        std::u16string chars(*length, u'\0');
        for (std::uint16_t i = 0; i < *length; ++i)
            chars[i] = static_cast<char16_t>(*units.u16le(std::uint64_t{i} * 2));
        return utf8FromUtf16(chars);
    }

private:
    // One directory entry read; false once the stop is requested or the
    // file's allowance of entries is used up.
    bool visit()
    {
        if (visitsLeft_ == 0 || cancelled_)
            return false;
        --visitsLeft_;
        if (control_.visited != nullptr)
            ++*control_.visited;
        if (++sinceStopCheck_ >= kStopCheckInterval) {
            sinceStopCheck_ = 0;
            if (control_.stop.stop_requested()) {
                cancelled_ = true;
                return false;
            }
        }
        return true;
    }

    bool inSection(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= length_ && length <= length_ - offset;
    }

    std::optional<std::uint16_t> u16(std::uint64_t offset) const
    {
        return inSection(offset, 2) ? file_.u16le(root_ + offset) : std::nullopt;
    }

    std::optional<std::uint32_t> u32(std::uint64_t offset) const
    {
        return inSection(offset, 4) ? file_.u32le(root_ + offset) : std::nullopt;
    }

    // Windows uses exactly three levels (type, name, language); a leaf that
    // is itself a directory is malformed, and we never follow it further, so
    // a directory that points back at itself cannot make us loop.
    void fillData(const DirectoryEntry& leaf, ResourceBlob& blob) const
    {
        if (leaf.subdirectory || !inSection(leaf.target, kDataEntrySize))
            return;
        const auto rva = u32(std::uint64_t{leaf.target} + kDataEntryOffsetToData);
        const auto size = u32(std::uint64_t{leaf.target} + kDataEntrySizeField);
        if (!rva || !size)
            return;
        const auto offset = image_.offsetOf(*rva, *size);
        if (!offset)
            return;
        blob.offset = *offset;
        blob.data = ByteRange{*offset, *size};
    }

    const SourceReader& file_;
    const PeImage& image_;
    std::uint64_t root_;
    std::uint64_t length_; // from the resource root to the end of its section
    const ReadControl& control_;
    std::uint64_t maxIconImages_;
    std::uint64_t visitsLeft_;
    std::uint64_t nameCharsLeft_;
    std::uint64_t sinceStopCheck_ = 0;
    bool cancelled_ = false;
};

std::optional<std::uint16_t> numericId(const DirectoryEntry& e)
{
    if (e.named || e.nameOrId > 0xffff)
        return std::nullopt;
    return static_cast<std::uint16_t>(e.nameOrId);
}

// The type entry Windows finds for a type id: it binary-searches the sorted
// ids, so each type is taken once whatever a hostile root repeats; the
// first stored entry stands for the duplicates.
const DirectoryEntry* findType(const std::vector<DirectoryEntry>& types, std::uint16_t id)
{
    const auto it = std::ranges::find_if(types, [&](const DirectoryEntry& e) { return numericId(e) == id; });
    return it != types.end() && it->subdirectory ? &*it : nullptr;
}

// The resources of one type in the order Windows enumerates them: named
// ones first, in the directory's own order (sorted by the linker), then
// numbered ones by ascending id; the first language of each.
std::expected<std::vector<ResourceBlob>, ReadFailure> enumerationOrder(ResourceTree& tree,
                                                                       const DirectoryEntry& type)
{
    auto names = tree.entries(type.target);
    if (!names)
        return std::unexpected(names.error());
    std::vector<ResourceBlob> named, numbered;
    for (const DirectoryEntry& name : *names) {
        if (tree.cancelled() || tree.exhausted())
            break;
        const auto id = numericId(name);
        if (auto leaf = tree.firstLeaf(name, id.value_or(0))) {
            if (name.named)
                leaf->name = tree.name(name);
            (name.named ? named : numbered).push_back(std::move(*leaf));
        }
    }
    std::ranges::stable_sort(numbered, {}, &ResourceBlob::id);
    named.insert(named.end(), numbered.begin(), numbered.end());
    return named;
}

// The cursor resources, read after everything the icons need, so that
// what the icons find never depends on them. A broken cursor directory
// leaves the cursors of that type out; the icons stay.
void readCursorResources(ResourceTree& tree, const std::vector<DirectoryEntry>& types, ResourceSet& set)
{
    if (const DirectoryEntry* images = findType(types, kRtCursor))
        if (auto names = tree.entries(images->target))
            for (const DirectoryEntry& name : *names)
                if (const auto id = numericId(name))
                    tree.allLeaves(name, *id, set.cursorImages);
    std::ranges::stable_sort(set.cursorImages, {}, &ResourceBlob::id);
    const auto collect = [&](std::uint16_t typeId, std::vector<ResourceBlob>& out) {
        if (const DirectoryEntry* type = findType(types, typeId))
            if (auto found = enumerationOrder(tree, *type))
                out = std::move(*found);
    };
    collect(kRtGroupCursor, set.cursorGroups);
    collect(kRtAniCursor, set.animatedCursors);
    collect(kRtAniIcon, set.animatedIcons);
}

} // namespace

bool looksLikePe(const SourceReader& file)
{
    return peHeaderOffset(file).has_value();
}

std::expected<ResourceSet, ReadFailure> readPeResources(const ByteSource& source, const ReadControl& control)
{
    const SourceReader file(source);
    return readPeResources(file, control);
}

std::expected<ResourceSet, ReadFailure> readPeResources(const SourceReader& file, const ReadControl& control)
{
    const auto pe = peHeaderOffset(file);
    if (!pe)
        return std::unexpected(ReadFailure{ReadError::BadMagic, 0});

    std::uint64_t resourceRva = 0;
    auto image = readPeImage(file, *pe, resourceRva);
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
    ResourceTree tree(file, *image, *root, sectionEnd - *root, control);

    auto types = tree.entries(0);
    if (!types)
        return std::unexpected(types.error());
    const DirectoryEntry* iconType = findType(*types, kRtIcon);
    const DirectoryEntry* groupType = findType(*types, kRtGroupIcon);

    if (iconType != nullptr) {
        auto names = tree.entries(iconType->target);
        if (!names)
            return std::unexpected(names.error());
        for (const DirectoryEntry& name : *names)
            if (const auto id = numericId(name))
                tree.allLeaves(name, *id, set.icons);
    }
    if (groupType != nullptr) {
        auto groups = enumerationOrder(tree, *groupType);
        if (!groups)
            return std::unexpected(groups.error());
        set.groups = std::move(*groups);
    }
    if (const DirectoryEntry* versionType = findType(*types, kRtVersion)) {
        // What GetFileVersionInfo finds: VS_VERSION_INFO, else the first
        // version resource. A broken one is no version, not a broken file.
        if (auto names = tree.entries(versionType->target); names && !names->empty()) {
            const auto one =
                std::ranges::find_if(*names, [](const DirectoryEntry& e) { return numericId(e) == 1; });
            const DirectoryEntry& name = one != names->end() ? *one : names->front();
            if (auto leaf = tree.firstLeaf(name, numericId(name).value_or(0)); leaf && leaf->data)
                set.version = *leaf;
        }
    }
    if (control.cursors)
        readCursorResources(tree, *types, set);
    if (tree.cancelled() || control.stop.stop_requested())
        return std::unexpected(ReadFailure{ReadError::Cancelled, *root});
    // Groups look their images up by id; languages keep directory order.
    std::ranges::stable_sort(set.icons, {}, &ResourceBlob::id);
    return set;
}

} // namespace gb
