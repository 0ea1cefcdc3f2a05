// Hostile files are read in bounded work, and a reading can be abandoned.

#include "core/bytes/byte_source.h"
#include "core/icons/icon_source.h"
#include "core/icons/pe_resources.h"
#include "support/dib_builder.h"
#include "support/hostile_builders.h"

#include <gtest/gtest.h>

#include <stop_token>
#include <vector>

namespace gb {
namespace {

using test::put16;
using test::put32;

void putAt16(std::vector<std::byte>& out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<std::byte>(v);
    out[at + 1] = static_cast<std::byte>(v >> 8);
}

void putAt32(std::vector<std::byte>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::byte>(v >> (8 * i));
}

// A PE32 file with one section at RVA 0x1000 whose resource root holds
// `entries` entries, every one {id 14, subdirectory -> the root itself}:
// each type entry leads back to the root as its name directory.
std::vector<std::byte> selfReferencingRoot(std::uint16_t entries)
{
    constexpr std::size_t kPe = 0x40, kOptional = kPe + 24, kOptionalSize = 0xE0;
    constexpr std::size_t kSectionTable = kOptional + kOptionalSize, kRaw = 0x200;
    const std::size_t resourceSize = 16 + std::size_t{entries} * 8;
    std::vector<std::byte> out(kRaw + resourceSize);
    out[0] = std::byte{'M'};
    out[1] = std::byte{'Z'};
    putAt32(out, 0x3c, kPe);
    out[kPe] = std::byte{'P'};
    out[kPe + 1] = std::byte{'E'};
    putAt16(out, kPe + 4, 0x14c); // i386
    putAt16(out, kPe + 6, 1);     // one section
    putAt16(out, kPe + 20, kOptionalSize);
    putAt16(out, kOptional, 0x10b);     // PE32
    putAt32(out, kOptional + 60, kRaw); // SizeOfHeaders
    putAt32(out, kOptional + 92, 16);   // NumberOfRvaAndSizes
    putAt32(out, kOptional + 96 + 16, 0x1000);
    putAt32(out, kOptional + 96 + 20, static_cast<std::uint32_t>(resourceSize));
    putAt32(out, kSectionTable + 8, static_cast<std::uint32_t>(resourceSize));  // VirtualSize
    putAt32(out, kSectionTable + 12, 0x1000);                                   // VirtualAddress
    putAt32(out, kSectionTable + 16, static_cast<std::uint32_t>(resourceSize)); // SizeOfRawData
    putAt32(out, kSectionTable + 20, kRaw);                                     // PointerToRawData
    putAt16(out, kRaw + 14, entries);                                           // id entries
    for (std::size_t i = 0; i < entries; ++i) {
        putAt32(out, kRaw + 16 + i * 8, 14);
        putAt32(out, kRaw + 20 + i * 8, 0x80000000u); // subdirectory at offset 0: the root
    }
    return out;
}

TEST(PeResourceWalk, RootOfRepeatedGroupTypesIsReadInLinearWork)
{
    constexpr std::uint16_t kEntries = 4000;
    const std::vector<std::byte> file = selfReferencingRoot(kEntries);
    const MemorySource source{ByteReader(std::span(file))};
    std::uint64_t visited = 0;
    const auto set = readPeResources(source, ReadControl{{}, &visited});
    ASSERT_TRUE(set);
    // The root once, the group type once as its name directory, and one
    // language per name: a few visits per entry, not one name directory per
    // type entry (which was 16 million here).
    EXPECT_LE(visited, 4u * kEntries);
    EXPECT_GE(visited, 2u * kEntries);
}

// A directory where a group's data entry must be is no icon: once, each of
// the root's entries counted as one, drawn blank and exported as such.
TEST(PeResourceWalk, RootLeadingBackToItselfHoldsNoIcons)
{
    const std::vector<std::byte> file = selfReferencingRoot(4000);
    EXPECT_EQ(IconSource::fromBytes(ByteReader(std::span(file))).count(), 0);
}

TEST(PeResourceWalk, CancelledExtractionReturnsPromptly)
{
    constexpr std::uint16_t kEntries = 4000;
    const std::vector<std::byte> file = selfReferencingRoot(kEntries);
    const MemorySource source{ByteReader(std::span(file))};
    std::stop_source stop;
    stop.request_stop();
    std::uint64_t visited = 0;
    const auto set = readPeResources(source, ReadControl{stop.get_token(), &visited});
    ASSERT_FALSE(set);
    EXPECT_EQ(set.error().reason, ReadError::Cancelled);
    EXPECT_LT(visited, kEntries / 10);
}

TEST(PeResourceWalk, CancelledSourceDrawsNoMoreIcons)
{
    test::DibRecipe dib;
    dib.pixel = [](int, int) { return 0xff00ff00u; };
    test::PeRecipe pe;
    pe.blobs = {{test::buildDib(dib)}, {test::groupDirectory(1, 1, 32)}};
    pe.icons = {{1, 0}};
    pe.groups = {{1, 1}, {2, 1}};
    const std::vector<std::byte> file = test::buildPe(pe);
    std::stop_source stop;
    const IconSource source =
        IconSource::fromSource(std::make_unique<MemorySource>(ByteReader(std::span(file))), stop.get_token());
    ASSERT_GT(source.count(), 0);
    stop.request_stop();
    const auto icon = source.icon(0);
    ASSERT_FALSE(icon);
    EXPECT_EQ(icon.error().reason, ReadError::Cancelled);
}

// An ICO file of the given images, each stored as given.
std::vector<std::byte> icoOf(const std::vector<std::vector<std::byte>>& images,
                             const std::vector<int>& depths)
{
    std::vector<std::byte> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(std::byte{32});
        out.push_back(std::byte{32});
        out.push_back(std::byte{0});
        out.push_back(std::byte{0});
        put16(out, 1);
        put16(out, static_cast<std::uint16_t>(depths[i]));
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

TEST(EntryFallback, TruncatedDeepEntryLeavesTheCompleteOneDrawn)
{
    test::DibRecipe eight;
    eight.bitCount = 8;
    eight.palette = {Rgba{200, 30, 40, 255}};
    eight.pixel = [](int, int) { return 0u; };
    test::DibRecipe thirtyTwo;
    thirtyTwo.pixel = [](int, int) { return 0xff00ff00u; };
    std::vector<std::byte> cut = test::buildDib(thirtyTwo);
    cut.resize(40); // the header alone
    const std::vector<std::byte> file = icoOf({test::buildDib(eight), cut}, {8, 32});

    const IconSource source = IconSource::fromBytes(ByteReader(std::span(file)));
    ASSERT_EQ(source.count(), 1);
    const auto icon = source.icon(0);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->largeEntry.label(), "32x32@8");
    EXPECT_EQ(icon->smallEntry.label(), "32x32@8");
    EXPECT_EQ(icon->large.at(5, 5).r, 200);
    EXPECT_EQ(icon->small.at(5, 5).r, 200);
}

} // namespace
} // namespace gb
