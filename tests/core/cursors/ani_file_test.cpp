#include "core/bytes/byte_source.h"
#include "core/cursors/ani_file.h"
#include "core/cursors/cur_file.h"
#include "support/ani_builder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace gb {
namespace {

using test::AniRecipe;
using test::CursorBytes;

std::expected<Cursor, CursorFailure> readAni(const CursorBytes& bytes)
{
    const MemorySource source{ByteReader(bytes)};
    return readAniFile(source);
}

TEST(AnimatedCursor, JiffiesBecomeMillisecondsRoundedToNearest)
{
    EXPECT_EQ(jiffiesToMs(0), 0);
    EXPECT_EQ(jiffiesToMs(1), 17); // 16.67
    EXPECT_EQ(jiffiesToMs(2), 33); // 33.33
    EXPECT_EQ(jiffiesToMs(3), 50);
    EXPECT_EQ(jiffiesToMs(10), 167); // 166.67: truncating would give 166
}

TEST(AnimatedCursor, HugeRateDoesNotOverflowTheDelay)
{
    EXPECT_EQ(jiffiesToMs(0xffffffffu), std::numeric_limits<int>::max());
    AniRecipe recipe;
    recipe.frames = test::twoCursorFrames();
    recipe.rates = std::vector<std::uint32_t>{0xffffffffu, 1};
    const auto cursor = readAni(test::buildAniFile(recipe));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->delaysMs, (std::vector<int>{std::numeric_limits<int>::max(), 17}));
}

TEST(AnimatedCursor, SequenceRepeatsFramesWithTheirOwnRates)
{
    const auto cursor = readAni(test::namedAniFile("sequenced"));
    ASSERT_TRUE(cursor) << describe(cursor.error());
    EXPECT_EQ(cursor->kind, CursorKind::Animated);
    ASSERT_EQ(cursor->frames.size(), 2u);
    EXPECT_EQ(cursor->steps, (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(cursor->delaysMs, (std::vector<int>{17, 33, 50, 167}));
    EXPECT_EQ(cursor->title, "Spinner");
    EXPECT_EQ(cursor->author, "Glimmerbox tests");
    const CursorImage& first = cursor->frames[0].images.at(0);
    EXPECT_EQ(first.width, 32);
    EXPECT_EQ(first.hotspotX, 3);
    EXPECT_EQ(first.hotspotY, 4);
    EXPECT_EQ(first.pixels.at(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(cursor->frames[1].images.at(0).hotspotY, 12);
}

TEST(AnimatedCursor, WithoutRateEveryStepTakesTheHeaderRate)
{
    const auto cursor = readAni(test::namedAniFile("plain"));
    ASSERT_TRUE(cursor) << describe(cursor.error());
    EXPECT_EQ(cursor->steps, (std::vector<int>{0, 1}));
    EXPECT_EQ(cursor->delaysMs, (std::vector<int>{100, 100})); // 6 jiffies
}

TEST(AnimatedCursor, StoredBytesAreKeptExactly)
{
    const CursorBytes frame = test::simpleCur(32, Rgba{255, 0, 0, 255}, 3, 4);
    const CursorBytes dib = test::cursorDib(32, Rgba{255, 0, 0, 255});
    AniRecipe recipe;
    recipe.frames = {frame};
    const auto cursor = readAni(test::buildAniFile(recipe));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->frames[0].images[0].stored, dib);
}

// Every form real packs take reads as the plain file does.
class TolerantAni : public testing::TestWithParam<const char*> {};

TEST_P(TolerantAni, ReadsEveryFrame)
{
    const auto cursor = readAni(test::namedAniFile(GetParam()));
    ASSERT_TRUE(cursor) << describe(cursor.error());
    ASSERT_EQ(cursor->frames.size(), 2u);
    EXPECT_EQ(cursor->steps, (std::vector<int>{0, 1}));
    EXPECT_EQ(cursor->delaysMs.size(), 2u);
    for (const CursorFrame& frame : cursor->frames)
        EXPECT_FALSE(frame.images.empty());
}

INSTANTIATE_TEST_SUITE_P(RealPackForms, TolerantAni,
                         testing::Values("riff_size_short", "riff_size_long", "info_first",
                                         "unknown_chunks_first", "odd_chunks_padded", "odd_chunks_unpadded",
                                         "icon_frames", "raw_frames"));

TEST(AnimatedCursor, InfoBeforeTheFramesGivesTitleAndAuthor)
{
    const auto cursor = readAni(test::namedAniFile("info_first"));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->title, "Busy");
    EXPECT_EQ(cursor->author, "Someone");
}

TEST(AnimatedCursor, OddChunksWithAndWithoutPadKeepTheirText)
{
    for (const char* name : {"odd_chunks_padded", "odd_chunks_unpadded"}) {
        const auto cursor = readAni(test::namedAniFile(name));
        ASSERT_TRUE(cursor) << name;
        EXPECT_EQ(cursor->title, "Odd") << name;
        EXPECT_EQ(cursor->author, "Abcd") << name;
    }
}

TEST(AnimatedCursor, IconFramesTakeTheirHotspotAtTheCentre)
{
    const auto cursor = readAni(test::namedAniFile("icon_frames"));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->frames[0].images[0].hotspotX, 16);
    EXPECT_EQ(cursor->frames[0].images[0].hotspotY, 16);
    EXPECT_EQ(cursor->frames[1].images[0].hotspotX, 8);
}

TEST(AnimatedCursor, RawFramesAreBitmapsWithTheHotspotAtTheCentre)
{
    const auto cursor = readAni(test::namedAniFile("raw_frames"));
    ASSERT_TRUE(cursor);
    const CursorImage& image = cursor->frames[1].images.at(0);
    EXPECT_EQ(image.pixels.at(5, 5), (Rgba{0, 255, 255, 255}));
    EXPECT_EQ(image.hotspotX, 16);
    EXPECT_EQ(image.bitCount, 8);
}

TEST(AnimatedCursor, SequenceNamingAMissingFrameIsRefusedWithAReason)
{
    const auto cursor = readAni(test::namedAniFile("sequence_past_frames"));
    ASSERT_FALSE(cursor);
    EXPECT_EQ(cursor.error().read.reason, ReadError::OutOfRange);
    EXPECT_NE(describe(cursor.error()).find("names frame 2, but the file holds 2 frames"), std::string::npos)
        << describe(cursor.error());
}

TEST(AnimatedCursor, HeaderClaimingMillionsOfFramesAndStepsAllocatesOnlyWhatIsThere)
{
    AniRecipe recipe;
    recipe.frames = test::twoCursorFrames();
    recipe.declaredFrames = 0xffffffffu;
    recipe.declaredSteps = 0xffffffffu;
    recipe.sequence = std::vector<std::uint32_t>{1, 0};
    const auto cursor = readAni(test::buildAniFile(recipe));
    ASSERT_TRUE(cursor) << describe(cursor.error());
    EXPECT_EQ(cursor->frames.size(), 2u);
    EXPECT_EQ(cursor->steps, (std::vector<int>{1, 0}));
}

TEST(AnimatedCursor, WithoutHeaderOrFramesIsRefused)
{
    CursorBytes bytes = test::namedAniFile("plain");
    CursorBytes noFrames = bytes;
    // Renames the frames' list so no frame is found.
    for (std::size_t i = 0; i + 4 <= noFrames.size(); ++i)
        if (std::memcmp(&noFrames[i], "fram", 4) == 0)
            noFrames[i] = std::byte{'x'};
    const auto a = readAni(noFrames);
    ASSERT_FALSE(a);
    EXPECT_EQ(a.error().reason, "no frame");
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (std::memcmp(&bytes[i], "anih", 4) == 0)
            bytes[i] = std::byte{'x'};
    const auto b = readAni(bytes);
    ASSERT_FALSE(b);
    EXPECT_EQ(b.error().reason, "no 'anih' header");
}

TEST(AnimatedCursor, EveryCutOfAFileEndsWithoutFault)
{
    const CursorBytes bytes = test::namedAniFile("sequenced");
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const CursorBytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        (void)readAni(cut);
    }
}

TEST(CursorFile, HotspotsComeFromTheDirectory)
{
    const CursorBytes bytes = test::curFile({{32, 32, 5, 7, test::cursorDib(32, Rgba{1, 2, 3, 255})},
                                             {16, 16, 2, 3, test::cursorDib(16, Rgba{1, 2, 3, 255})}});
    const MemorySource source{ByteReader(bytes)};
    const auto cursor = readCurFile(source);
    ASSERT_TRUE(cursor) << describe(cursor.error());
    EXPECT_EQ(cursor->kind, CursorKind::Static);
    ASSERT_EQ(cursor->frames.size(), 1u);
    ASSERT_EQ(cursor->frames[0].images.size(), 2u);
    EXPECT_EQ(cursor->frames[0].images[0].hotspotX, 5);
    EXPECT_EQ(cursor->frames[0].images[0].hotspotY, 7);
    EXPECT_EQ(cursor->frames[0].images[1].hotspotX, 2);
    EXPECT_EQ(cursor->steps, std::vector<int>{0});
}

TEST(CursorFile, HotspotOutsideTheImageIsMovedInside)
{
    const CursorBytes bytes = test::simpleCur(16, Rgba{1, 2, 3, 255}, 40, 16);
    const MemorySource source{ByteReader(bytes)};
    const auto cursor = readCurFile(source);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->frames[0].images[0].hotspotX, 15);
    EXPECT_EQ(cursor->frames[0].images[0].hotspotY, 15);
}

TEST(CursorFile, EntriesAllNamingOneLargeImageStopAtTheFilesAllowance)
{
    // 1024 entries, each naming the same 256x256 image: drawing every one
    // would cost 256 MiB of pixels for a file of 40 KiB.
    const CursorBytes dib = test::cursorDib(256, Rgba{1, 2, 3, 255});
    CursorBytes bytes;
    test::put16(bytes, 0);
    test::put16(bytes, 2);
    test::put16(bytes, 1024);
    const auto at = static_cast<std::uint32_t>(6 + 16 * 1024);
    for (int i = 0; i < 1024; ++i) {
        test::put32(bytes, 0);
        test::put32(bytes, 0);
        test::put32(bytes, static_cast<std::uint32_t>(dib.size()));
        test::put32(bytes, at);
    }
    bytes.insert(bytes.end(), dib.begin(), dib.end());
    const MemorySource source{ByteReader(bytes)};
    const auto cursor = readCurFile(source);
    ASSERT_TRUE(cursor);
    EXPECT_GT(cursor->frames[0].images.size(), 0u);
    EXPECT_LT(cursor->frames[0].images.size(), 1024u);
}

TEST(CursorFile, IconFileIsNoCursorFile)
{
    const CursorBytes bytes = test::curFile({{16, 16, 0, 0, test::cursorDib(16, Rgba{1, 2, 3, 255})}}, false);
    const MemorySource source{ByteReader(bytes)};
    EXPECT_FALSE(readCurFile(source));
}

} // namespace
} // namespace gb
