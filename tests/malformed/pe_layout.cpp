#include "pe_layout.h"

#include <algorithm>
#include <stdexcept>

namespace gbfix {

namespace {

constexpr std::uint32_t kSubdirectory = 0x80000000u;

struct Walker {
    const Bytes& file;
    PeLayout& layout;

    void note(std::size_t end) { layout.treeEnd = std::max(layout.treeEnd, end); }

    // Walks one directory table; level 0 = types, 1 = names, 2 = languages.
    void directory(std::size_t at, int level, PeLeaf path)
    {
        const unsigned named = get16(file, at + 12), ids = get16(file, at + 14);
        const std::size_t count = named + ids;
        note(at + 16 + 8 * count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = at + 16 + 8 * i;
            const std::uint32_t name = get32(file, entry), target = get32(file, entry + 4);
            std::optional<unsigned> id;
            if (name & kSubdirectory) {
                const std::size_t s = layout.rootAt + (name & ~kSubdirectory);
                note(s + 2 + 2 * get16(file, s)); // counted UTF-16 string
            } else {
                id = name & 0xFFFF;
            }
            PeLeaf next = path;
            if (level == 0) {
                layout.typeEntries.push_back(entry);
                layout.typeIds.push_back(id.value_or(0));
                next.type = id.value_or(0);
            } else if (level == 1) {
                next.id = id;
            } else {
                next.language = id.value_or(0);
            }
            const std::size_t child = layout.rootAt + (target & ~kSubdirectory);
            if (target & kSubdirectory) {
                if (level == 2)
                    throw std::runtime_error("resource tree deeper than three levels");
                directory(child, level + 1, next);
            } else {
                if (level != 2)
                    throw std::runtime_error("resource leaf above the language level");
                next.languageEntryAt = entry;
                next.dataEntryAt = child;
                next.rva = get32(file, child);
                next.size = get32(file, child + 4);
                next.dataAt = layout.offsetOf(next.rva);
                layout.dataEntries.push_back(child);
                layout.leaves.push_back(next);
                note(child + 16);
            }
        }
    }
};

} // namespace

std::size_t PeLayout::offsetOf(std::uint32_t rva) const
{
    for (const PeSection& s : sections)
        if (rva >= s.virtualAddress && rva - s.virtualAddress < std::max(s.virtualSize, s.rawSize))
            return s.rawAt + (rva - s.virtualAddress);
    throw std::runtime_error("RVA outside every section");
}

std::size_t PeLayout::typeEntryAt(unsigned type) const
{
    for (std::size_t i = 0; i < typeIds.size(); ++i)
        if (typeIds[i] == type)
            return typeEntries[i];
    throw std::runtime_error("resource type not in the file");
}

const PeSection& PeLayout::resourceSection() const
{
    for (const PeSection& s : sections)
        if (resourceRva >= s.virtualAddress && resourceRva - s.virtualAddress < s.virtualSize)
            return s;
    throw std::runtime_error("resource directory outside every section");
}

PeLayout readPeLayout(const Bytes& file)
{
    PeLayout layout;
    if (file.size() < 0x40 || file[0] != 'M' || file[1] != 'Z')
        throw std::runtime_error("not an MZ file");
    layout.lfanew = get32(file, 0x3C);
    if (get32(file, layout.lfanew) != 0x4550)
        throw std::runtime_error("no PE signature");
    const unsigned sectionCount = get16(file, layout.lfanew + 6);
    const unsigned optionalSize = get16(file, layout.lfanew + 20);
    layout.optionalAt = layout.lfanew + 24;
    layout.pe32plus = get16(file, layout.optionalAt) == 0x20B;
    const std::size_t dataDirectories = layout.optionalAt + (layout.pe32plus ? 112 : 96);
    layout.resourceRva = get32(file, dataDirectories + 2 * 8);
    layout.sectionTableAt = layout.optionalAt + optionalSize;
    for (unsigned i = 0; i < sectionCount; ++i) {
        const std::size_t h = layout.sectionTableAt + 40 * i;
        layout.sections.push_back(
            {h, get32(file, h + 12), get32(file, h + 8), get32(file, h + 20), get32(file, h + 16)});
    }
    if (layout.resourceRva == 0)
        throw std::runtime_error("no resource directory");
    layout.rootAt = layout.offsetOf(layout.resourceRva);
    Walker{file, layout}.directory(layout.rootAt, 0, {});
    return layout;
}

} // namespace gbfix
