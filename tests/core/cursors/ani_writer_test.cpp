#include "core/cursors/ani_writer.h"

#include "core/cursors/cur_writer.h"
#include "support/cursor_builder.h"
#include "support/cursor_readback.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gb {
namespace {

using test::animatedCursor;
using test::ListedCursorImage;
using test::patternImage;

struct JiffyCase {
    int ms;
    int jiffies;
};

class AniJiffies : public testing::TestWithParam<JiffyCase> {};

TEST_P(AniJiffies, MillisecondsBecomeTheNearestJiffiesNeverNone)
{
    EXPECT_EQ(jiffiesOfMilliseconds(GetParam().ms), GetParam().jiffies);
}

INSTANTIATE_TEST_SUITE_P(Rates, AniJiffies,
                         testing::Values(JiffyCase{1000, 60}, JiffyCase{100, 6}, JiffyCase{17, 1},
                                         JiffyCase{25, 2}, JiffyCase{58, 3}, JiffyCase{59, 4},
                                         JiffyCase{8, 1}, JiffyCase{0, 1}, JiffyCase{-5, 1}));

TEST(AniWriter, JiffiesReadBackAsMillisecondsRoundTrip)
{
    for (int jiffies = 1; jiffies <= 600; ++jiffies) {
        const int ms = static_cast<int>(std::lround(jiffies * 1000.0 / 60.0));
        ASSERT_EQ(jiffiesOfMilliseconds(ms), jiffies) << ms;
    }
}

struct ParsedAni {
    std::uint32_t frames = 0, steps = 0, defaultRate = 0, flags = 0;
    std::vector<std::uint32_t> rate, seq;
    std::vector<std::vector<std::byte>> icons;
    std::string title, author;
};

ParsedAni parseAni(std::span<const std::byte> bytes)
{
    ParsedAni ani;
    EXPECT_EQ(test::idAt(bytes, 0), "RIFF");
    EXPECT_EQ(test::u32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(test::idAt(bytes, 8), "ACON");
    for (const test::RiffChunk& chunk : test::riffChunks(bytes.subspan(12))) {
        auto numbers = [&] {
            std::vector<std::uint32_t> values;
            for (std::size_t at = 0; at + 4 <= chunk.data.size(); at += 4)
                values.push_back(test::u32At(chunk.data, at));
            return values;
        };
        auto text = [&] { return std::string(reinterpret_cast<const char*>(chunk.data.data())); };
        if (chunk.id == "anih") {
            EXPECT_EQ(chunk.data.size(), 36u);
            ani.frames = test::u32At(chunk.data, 4);
            ani.steps = test::u32At(chunk.data, 8);
            ani.defaultRate = test::u32At(chunk.data, 28);
            ani.flags = test::u32At(chunk.data, 32);
        } else if (chunk.id == "rate") {
            ani.rate = numbers();
        } else if (chunk.id == "seq ") {
            ani.seq = numbers();
        } else if (chunk.id == "LIST/fram/icon") {
            ani.icons.emplace_back(chunk.data.begin(), chunk.data.end());
        } else if (chunk.id == "LIST/INFO/INAM") {
            ani.title = text();
        } else if (chunk.id == "LIST/INFO/IART") {
            ani.author = text();
        }
    }
    return ani;
}

TEST(AniWriter, StepsDelaysAndFramesRoundTrip)
{
    test::TempFolder folder;
    Cursor cursor = animatedCursor({CursorFrame{{patternImage(32, 1, 2, 1), patternImage(48, 2, 3, 1)}},
                                    CursorFrame{{patternImage(32, 3, 4, 2), patternImage(48, 5, 6, 2)}},
                                    CursorFrame{{patternImage(32, 7, 8, 3), patternImage(48, 10, 12, 3)}}},
                                   {0, 1, 2, 1}, {100, 50, 33, 1000});
    cursor.title = "Busy";
    cursor.author = "Someone";
    const auto bytes = encodeAni(cursor).value();
    const ParsedAni ani = parseAni(bytes);
    EXPECT_EQ(ani.frames, 3u);
    EXPECT_EQ(ani.steps, 4u);
    EXPECT_EQ(ani.flags, 3u); // frames are cursor files, in the order of seq
    EXPECT_EQ(ani.defaultRate, 6u);
    EXPECT_EQ(ani.rate, (std::vector<std::uint32_t>{6, 3, 2, 60}));
    EXPECT_EQ(ani.seq, (std::vector<std::uint32_t>{0, 1, 2, 1}));
    EXPECT_EQ(ani.title, "Busy");
    EXPECT_EQ(ani.author, "Someone");
    ASSERT_EQ(ani.icons.size(), 3u);
    for (std::size_t f = 0; f < 3; ++f) {
        EXPECT_EQ(ani.icons[f], encodeCur(cursor.frames[f]).value()) << f;
        const auto& images = cursor.frames[f].images;
        EXPECT_EQ(test::icotoolList(folder.write("frame" + std::to_string(f) + ".cur", ani.icons[f])),
                  (std::vector<ListedCursorImage>{{32, 32, images[0].hotspotX, images[0].hotspotY},
                                                  {48, 48, images[1].hotspotX, images[1].hotspotY}}));
    }
}

TEST(AniWriter, ChunkOfOddSizeIsPaddedToAnEvenOne)
{
    Cursor cursor = animatedCursor({CursorFrame{{patternImage(32, 0, 0)}}}, {0}, {100});
    cursor.title = "Odd";   // four bytes with its zero
    cursor.author = "Even"; // five
    const auto bytes = encodeAni(cursor).value();
    EXPECT_EQ(bytes.size() % 2, 0u);
    const ParsedAni ani = parseAni(bytes);
    EXPECT_EQ(ani.title, "Odd");
    EXPECT_EQ(ani.author, "Even");
    EXPECT_EQ(ani.icons.size(), 1u);
}

TEST(AniWriter, CursorWithAStepPastItsFramesIsRefused)
{
    const Cursor cursor = animatedCursor({CursorFrame{{patternImage(32, 0, 0)}}}, {0, 2}, {10, 10});
    EXPECT_EQ(encodeAni(cursor).error(), CursorWriteError::BadSequence);
}

} // namespace
} // namespace gb
