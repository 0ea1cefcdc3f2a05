#pragma once
// Where things are in a well-formed PE file, so the malformed set can break
// exactly one of them. Reads only the files our own fixture build links.

#include "byte_sink.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace gbfix {

struct PeSection {
    std::size_t headerAt = 0; // file offset of the 40-byte section header
    std::uint32_t virtualAddress = 0, virtualSize = 0;
    std::uint32_t rawAt = 0, rawSize = 0;
};

// One leaf of the resource tree (type / name / language).
struct PeLeaf {
    unsigned type = 0;
    std::optional<unsigned> id; // none for a named resource
    unsigned language = 0;
    std::size_t languageEntryAt = 0; // file offset of its 8-byte language-level entry
    std::size_t dataEntryAt = 0;     // file offset of IMAGE_RESOURCE_DATA_ENTRY
    std::uint32_t rva = 0, size = 0;
    std::size_t dataAt = 0; // file offset of the data
};

struct PeLayout {
    std::size_t lfanew = 0;
    bool pe32plus = false;
    std::size_t optionalAt = 0;
    std::size_t sectionTableAt = 0;
    std::vector<PeSection> sections;
    std::uint32_t resourceRva = 0;
    std::size_t rootAt = 0;               // file offset of the root directory
    std::vector<std::size_t> typeEntries; // root entries (8 bytes each), by position
    std::vector<unsigned> typeIds;        // their type ids
    std::vector<std::size_t> dataEntries; // every IMAGE_RESOURCE_DATA_ENTRY
    std::vector<PeLeaf> leaves;
    std::size_t treeEnd = 0; // end of the directory tables, entries and names

    std::size_t offsetOf(std::uint32_t rva) const;
    std::size_t typeEntryAt(unsigned type) const;
    const PeSection& resourceSection() const;
};

// Throws when the file is not a PE with a resource directory.
PeLayout readPeLayout(const Bytes& file);

} // namespace gbfix
