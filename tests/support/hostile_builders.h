#pragma once
// Small generators of crafted executables after the PE and NE format
// documentation, and a source that stands for a large sparse file: the
// shapes hostile files take (shared directories, claims of gigabytes,
// empty tables), made in a few kilobytes.

#include "core/bytes/byte_source.h"
#include "support/dib_builder.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace gb::test {

using Bytes = std::vector<std::byte>;

inline void putAt(Bytes& out, std::size_t at, std::uint32_t v, int width)
{
    if (out.size() < at + static_cast<std::size_t>(width))
        out.resize(at + static_cast<std::size_t>(width));
    for (int i = 0; i < width; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::byte>(v >> (8 * i));
}

// The first four bytes of an ICO or group directory entry: width, height
// (a stored 0 means 256), colour count and a reserved byte.
inline void putSides(Bytes& out, int side)
{
    out.push_back(static_cast<std::byte>(side >= 256 ? 0 : side));
    out.push_back(static_cast<std::byte>(side >= 256 ? 0 : side));
    out.push_back(std::byte{0});
    out.push_back(std::byte{0});
}

// "MZ", e_lfanew = `at`, and the two signature bytes there.
inline void putNewHeader(Bytes& out, std::size_t at, char first, char second)
{
    out[0] = std::byte{'M'};
    out[1] = std::byte{'Z'};
    putAt(out, 0x3c, static_cast<std::uint32_t>(at), 4);
    out[at] = static_cast<std::byte>(first);
    out[at + 1] = static_cast<std::byte>(second);
}

// A file of `size` bytes, zero but for the pieces placed in it, read as a
// file is (nothing in memory): a sparse file of gigabytes in a few bytes.
class SparseSource final : public ByteSource {
public:
    explicit SparseSource(std::uint64_t size) : size_(size) {}
    SparseSource& place(std::uint64_t offset, Bytes bytes)
    {
        pieces_.emplace_back(offset, std::move(bytes));
        return *this;
    }
    std::uint64_t size() const override { return size_; }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override
    {
        if (offset >= size_)
            return 0;
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), size_ - offset));
        std::fill_n(out.begin(), n, std::byte{0});
        for (const auto& [at, bytes] : pieces_)
            for (std::size_t i = 0; i < bytes.size(); ++i)
                if (at + i >= offset && at + i < offset + n)
                    out[at + i - offset] = bytes[i];
        return n;
    }

private:
    std::uint64_t size_;
    std::vector<std::pair<std::uint64_t, Bytes>> pieces_;
};

// A PE32 file with one section at RVA 0x1000 (file offset 0x200) holding a
// resource tree of RT_ICON and RT_GROUP_ICON names, one language each.
// Names point at blobs by index, so several may share one; a blob may
// claim more bytes than it has, and the section may claim more raw bytes
// than the file built here (the rest of a sparse file).
struct PeBlob {
    Bytes bytes;
    std::uint32_t claimed = 0; // the data entry's size; 0: the blob's own
};
struct PeName {
    std::uint16_t id;
    std::size_t blob;
};
struct PeRecipe {
    std::vector<PeName> icons, groups;
    std::vector<PeName> versions; // RT_VERSION, when there are any
    std::vector<PeBlob> blobs;
    std::uint32_t sections = 1; // 0: no section table at all
    std::uint32_t extraRaw = 0; // raw bytes the section claims past the tree and blobs
    bool emptyRoot = false;     // a root directory of no entries
};

inline constexpr std::size_t kPeRaw = 0x200;
inline constexpr std::uint32_t kPeRva = 0x1000;

inline Bytes buildPe(const PeRecipe& r)
{
    constexpr std::size_t kPe = 0x40, kOptional = kPe + 24, kOptionalSize = 0xE0;
    constexpr std::size_t kSectionTable = kOptional + kOptionalSize;
    Bytes out(kPeRaw);
    putNewHeader(out, kPe, 'P', 'E');
    putAt(out, kPe + 4, 0x14c, 2); // i386
    putAt(out, kPe + 6, r.sections, 2);
    putAt(out, kPe + 20, kOptionalSize, 2);
    putAt(out, kOptional, 0x10b, 2);            // PE32
    putAt(out, kOptional + 60, kPeRaw, 4);      // SizeOfHeaders
    putAt(out, kOptional + 92, 16, 4);          // NumberOfRvaAndSizes
    putAt(out, kOptional + 96 + 16, kPeRva, 4); // the resource directory

    // The tree, offsets from the root: root, the two name directories, a
    // language directory and a data entry per name, then the blobs.
    Bytes tree;
    // The types in id order, as a resource directory keeps them.
    std::vector<std::pair<std::uint32_t, const std::vector<PeName>*>> typeList;
    if (!r.emptyRoot)
        typeList = {{3, &r.icons}, {14, &r.groups}};
    if (!r.emptyRoot && !r.versions.empty())
        typeList.emplace_back(16, &r.versions);
    const std::size_t types = typeList.size();
    std::vector<std::size_t> nameDirectories;
    std::size_t at = 16 + 8 * types, names = 0;
    for (const auto& [id, list] : typeList) {
        nameDirectories.push_back(at);
        at += 16 + 8 * list->size();
        names += list->size();
    }
    const std::size_t languages = at;
    const std::size_t dataEntries = languages + 24 * names;
    std::size_t blobsAt = dataEntries + 16 * names;
    std::vector<std::size_t> blobOffsets;
    for (const PeBlob& blob : r.blobs) {
        blobOffsets.push_back(blobsAt);
        blobsAt += (blob.bytes.size() + 3) / 4 * 4;
    }
    tree.resize(blobsAt);
    putAt(tree, 14, static_cast<std::uint32_t>(types), 2);
    for (std::size_t t = 0; t < types; ++t) {
        putAt(tree, 16 + 8 * t, typeList[t].first, 4);
        putAt(tree, 20 + 8 * t, 0x80000000u | static_cast<std::uint32_t>(nameDirectories[t]), 4);
    }
    std::size_t n = 0;
    const auto addNames = [&](std::size_t dir, const std::vector<PeName>& list) {
        putAt(tree, dir + 14, static_cast<std::uint32_t>(list.size()), 2);
        for (std::size_t i = 0; i < list.size(); ++i, ++n) {
            const std::size_t language = languages + 24 * n, data = dataEntries + 16 * n;
            putAt(tree, dir + 16 + 8 * i, list[i].id, 4);
            putAt(tree, dir + 20 + 8 * i, 0x80000000u | static_cast<std::uint32_t>(language), 4);
            putAt(tree, language + 14, 1, 2);
            putAt(tree, language + 16, 0x409, 4);
            putAt(tree, language + 20, static_cast<std::uint32_t>(data), 4);
            const PeBlob& blob = r.blobs[list[i].blob];
            putAt(tree, data, kPeRva + static_cast<std::uint32_t>(blobOffsets[list[i].blob]), 4);
            putAt(tree, data + 4,
                  blob.claimed != 0 ? blob.claimed : static_cast<std::uint32_t>(blob.bytes.size()), 4);
        }
    };
    for (std::size_t t = 0; t < types; ++t)
        addNames(nameDirectories[t], *typeList[t].second);
    for (std::size_t i = 0; i < r.blobs.size(); ++i)
        std::copy(r.blobs[i].bytes.begin(), r.blobs[i].bytes.end(),
                  tree.begin() + static_cast<std::ptrdiff_t>(blobOffsets[i]));

    const auto raw = static_cast<std::uint32_t>(tree.size()) + r.extraRaw;
    putAt(out, kOptional + 96 + 20, static_cast<std::uint32_t>(tree.size()), 4);
    if (r.sections != 0) {
        putAt(out, kSectionTable + 8, raw, 4);     // VirtualSize
        putAt(out, kSectionTable + 12, kPeRva, 4); // VirtualAddress
        putAt(out, kSectionTable + 16, raw, 4);    // SizeOfRawData
        putAt(out, kSectionTable + 20, kPeRaw, 4); // PointerToRawData
    }
    out.insert(out.end(), tree.begin(), tree.end());
    return out;
}

// A group directory (GRPICONDIR) of `count` entries, every one naming icon
// `iconId` and declaring `side` x `side` at 32 bits.
inline Bytes groupDirectory(std::uint16_t count, std::uint16_t iconId, int side)
{
    Bytes out;
    put16(out, 0);
    put16(out, 1);
    put16(out, count);
    for (std::uint16_t i = 0; i < count; ++i) {
        putSides(out, side);
        put16(out, 1);
        put16(out, 32);
        put32(out, 0);
        put16(out, iconId);
    }
    return out;
}

// A 16-bit NE file whose resource table holds one RT_GROUP_ICON and one
// RT_ICON record (or none, for `iconRecords` 0) with the given alignment
// shift and offsets and lengths in its units. The file built here is the
// headers alone; the data go where the shift puts them.
inline Bytes buildNe(std::uint16_t shift, std::uint16_t groupAt, std::uint16_t iconAt, std::uint16_t length,
                     std::uint16_t iconRecords = 1)
{
    constexpr std::size_t kNe = 0x40, kTable = kNe + 0x40;
    Bytes out(kTable);
    putNewHeader(out, kNe, 'N', 'E');
    putAt(out, kNe + 0x24, kTable - kNe, 2);
    put16(out, shift);
    const auto record = [&](std::uint16_t type, std::uint16_t count, std::uint16_t at) {
        put16(out, type);
        put16(out, count);
        put32(out, 0);
        for (std::uint16_t i = 0; i < count; ++i) {
            put16(out, at);
            put16(out, length);
            put16(out, 0);
            put16(out, 0x8001); // integer id 1
            put32(out, 0);
        }
    };
    record(0x800E, 1, groupAt);
    record(0x8003, iconRecords, iconAt);
    put16(out, 0);
    return out;
}

} // namespace gb::test
