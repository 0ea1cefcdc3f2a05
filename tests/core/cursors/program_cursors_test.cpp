#include "core/bytes/byte_source.h"
#include "core/cursors/cursor_reader.h"
#include "core/icons/icon_source.h"
#include "core/icons/pe_resources.h"
#include "support/ani_builder.h"
#include "support/fixture_bytes.h"
#include "support/hostile_builders.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

std::vector<FoundCursor> cursorsOf(const std::vector<std::byte>& bytes)
{
    const MemorySource source{ByteReader(bytes)};
    auto found = readCursors(source);
    EXPECT_TRUE(found) << (found ? "" : describe(found.error()));
    return found ? std::move(*found) : std::vector<FoundCursor>{};
}

class ProgramCursors : public testing::TestWithParam<const char*> {};

TEST_P(ProgramCursors, ComeInEnumerationOrderWithHotspotsAndFrames)
{
    const std::vector<FoundCursor> cursors = cursorsOf(test::readFixture(GetParam()));
    ASSERT_EQ(cursors.size(), 5u);
    // Cursor groups: named first, then ids ascending; then the animations.
    EXPECT_EQ(cursors[0].resource->name, "POINTER");
    EXPECT_EQ(cursors[1].resource->id, 32512);
    EXPECT_EQ(cursors[2].resource->id, 32649);
    EXPECT_EQ(cursors[3].resource->name, "BUSY");
    EXPECT_EQ(cursors[3].resourceType, kRtAniCursor);
    EXPECT_EQ(cursors[4].resource->id, 7);
    EXPECT_EQ(cursors[4].resourceType, kRtAniIcon);
    for (const FoundCursor& found : cursors)
        ASSERT_TRUE(found.cursor) << describe(found.cursor.error());

    const Cursor& arrow = *cursors[0].cursor;
    EXPECT_EQ(arrow.kind, CursorKind::Static);
    ASSERT_EQ(arrow.frames.at(0).images.size(), 2u);
    const CursorImage& large = arrow.frames[0].images[0];
    EXPECT_EQ(large.width, 32);
    EXPECT_EQ(large.height, 32);
    EXPECT_EQ(large.bitCount, 8);
    EXPECT_EQ(large.hotspotX, 1);
    EXPECT_EQ(large.hotspotY, 2);
    EXPECT_EQ(large.stored, test::cursorDib(32, Rgba{255, 255, 255, 255}));
    EXPECT_EQ(arrow.frames[0].images[1].hotspotY, 1);
    EXPECT_EQ(cursors[2].cursor->frames[0].images[0].hotspotX, 9);

    const Cursor& busy = *cursors[3].cursor;
    EXPECT_EQ(busy.kind, CursorKind::Animated);
    EXPECT_EQ(busy.frames.size(), 2u);
    EXPECT_EQ(busy.steps, (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(busy.delaysMs, (std::vector<int>{17, 33, 50, 167}));
    EXPECT_EQ(cursors[4].cursor->frames[0].images[0].hotspotX, 16);
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, ProgramCursors, testing::Values("cursors32.exe", "cursors64.dll"));

TEST(ProgramCursorsAndIcons, IconsOfAProgramWithCursorsStayTheOnesItsIconGroupsGive)
{
    const auto bytes = test::readFixture("cursors32.exe");
    const IconSource icons = IconSource::fromBytes(ByteReader(bytes));
    EXPECT_EQ(icons.count(), 1);
    const MemorySource source{ByteReader(bytes)};
    const auto plain = readPeResources(source);
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->cursorGroups.empty()); // cursors only when asked for
    EXPECT_TRUE(plain->cursorImages.empty());
    ReadControl withCursors;
    withCursors.cursors = true;
    const auto both = readPeResources(source, withCursors);
    ASSERT_TRUE(both);
    EXPECT_EQ(both->groups.size(), plain->groups.size());
    EXPECT_EQ(both->icons.size(), plain->icons.size());
    EXPECT_EQ(both->cursorGroups.size(), 3u);
    EXPECT_EQ(both->animatedCursors.size(), 1u);
    EXPECT_EQ(both->animatedIcons.size(), 1u);
}

TEST(CursorFiles, AreOneCursorEachAndAnIconFileIsNone)
{
    const auto cur = cursorsOf(test::readFixture("cursors/arrow.cur"));
    ASSERT_EQ(cur.size(), 1u);
    EXPECT_FALSE(cur[0].resource);
    EXPECT_TRUE(cur[0].cursor);
    const auto ani = cursorsOf(test::readFixture("cursors/sequenced.ani"));
    ASSERT_EQ(ani.size(), 1u);
    EXPECT_EQ(ani[0].cursor->kind, CursorKind::Animated);
    EXPECT_TRUE(cursorsOf(test::readFixture("depth8.ico")).empty());
}

// A 16-bit program: an NE resource table with one RT_GROUP_CURSOR and two
// RT_CURSOR records, data aligned to 16 bytes.
std::vector<std::byte> neWithCursor()
{
    using test::Bytes;
    constexpr std::size_t kNe = 0x40, kTable = kNe + 0x40, kData = 0x100;
    const Bytes image1 = test::cursorResource(4, 5, test::cursorDib(32, Rgba{9, 9, 9, 255}));
    const Bytes image2 = test::cursorResource(1, 1, test::cursorDib(16, Rgba{9, 9, 9, 255}));
    Bytes group;
    test::put16(group, 0);
    test::put16(group, 2);
    test::put16(group, 2);
    for (const auto& [side, id] : {std::pair{32, 1}, std::pair{16, 2}}) {
        test::put16(group, static_cast<std::uint16_t>(side));
        test::put16(group, static_cast<std::uint16_t>(2 * side));
        test::put16(group, 1);
        test::put16(group, 8);
        test::put32(group, 0);
        test::put16(group, static_cast<std::uint16_t>(id));
    }
    Bytes out(kTable);
    test::putNewHeader(out, kNe, 'N', 'E');
    test::putAt(out, kNe + 0x24, kTable - kNe, 2);
    test::put16(out, 4); // shift: units of 16 bytes
    std::vector<std::pair<std::uint16_t, const Bytes*>> placed;
    std::size_t at = kData;
    const auto place = [&](const Bytes& data) {
        const std::size_t start = at;
        at += (data.size() + 15) / 16 * 16;
        return start;
    };
    const std::size_t groupAt = place(group), image1At = place(image1), image2At = place(image2);
    const auto record = [&](std::uint16_t type,
                            std::vector<std::tuple<std::size_t, std::size_t, std::uint16_t>> items) {
        test::put16(out, type);
        test::put16(out, static_cast<std::uint16_t>(items.size()));
        test::put32(out, 0);
        for (const auto& [offset, length, id] : items) {
            test::put16(out, static_cast<std::uint16_t>(offset >> 4));
            test::put16(out, static_cast<std::uint16_t>((length + 15) >> 4));
            test::put16(out, 0);
            test::put16(out, static_cast<std::uint16_t>(0x8000 | id));
            test::put32(out, 0);
        }
    };
    record(0x800C, {{groupAt, group.size(), 1}});
    record(0x8001, {{image2At, image2.size(), 2}, {image1At, image1.size(), 1}});
    test::put16(out, 0);
    out.resize(at);
    std::copy(group.begin(), group.end(), out.begin() + static_cast<std::ptrdiff_t>(groupAt));
    std::copy(image1.begin(), image1.end(), out.begin() + static_cast<std::ptrdiff_t>(image1At));
    std::copy(image2.begin(), image2.end(), out.begin() + static_cast<std::ptrdiff_t>(image2At));
    return out;
}

TEST(ProgramCursors, SixteenBitProgramGivesItsCursorGroups)
{
    const auto cursors = cursorsOf(neWithCursor());
    ASSERT_EQ(cursors.size(), 1u);
    ASSERT_TRUE(cursors[0].cursor) << describe(cursors[0].cursor.error());
    const auto& images = cursors[0].cursor->frames.at(0).images;
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].width, 32);
    EXPECT_EQ(images[0].hotspotX, 4);
    EXPECT_EQ(images[0].hotspotY, 5);
    EXPECT_EQ(images[1].width, 16);
    // Without cursors asked for, the NE file holds no icons at all.
    EXPECT_EQ(IconSource::fromBytes(ByteReader(neWithCursor())).count(), 0);
}

TEST(ProgramCursors, GroupNamingAMissingImageIsRefusedWithAReason)
{
    auto bytes = neWithCursor();
    // The two RT_CURSOR records (ids at 0xa4 and 0xb0 of the table) now
    // carry ids 3 and 4: the group names neither.
    bytes[0xa4] = std::byte{0x03};
    bytes[0xb0] = std::byte{0x04};
    const auto cursors = cursorsOf(bytes);
    ASSERT_EQ(cursors.size(), 1u);
    ASSERT_FALSE(cursors[0].cursor);
    EXPECT_NE(describe(cursors[0].cursor.error()).find("names a cursor image the file lacks"),
              std::string::npos);
}

} // namespace
} // namespace gb
