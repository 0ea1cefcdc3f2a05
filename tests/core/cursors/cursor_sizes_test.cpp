#include "core/cursors/cursor_sizes.h"

#include "core/icons/resample.h"
#include "support/cursor_builder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace gb {
namespace {

using test::animatedCursor;
using test::patternImage;
using test::staticCursor;

std::vector<bool> madeFlags(const SizedCursor& sized)
{
    std::vector<bool> made;
    for (const SizedCursorImage& image : sized.frames[0])
        made.push_back(image.made);
    return made;
}

TEST(CursorSizes, DefaultAddsTheDesktopSizesToTheStoredOnes)
{
    auto sized = cursorAtSizes(staticCursor({patternImage(32, 3, 4), patternImage(64, 6, 8)}));
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->sizes, (std::vector<int>{24, 32, 48, 64}));
    EXPECT_EQ(madeFlags(*sized), (std::vector<bool>{true, false, true, false}));
}

TEST(CursorSizes, StoredImageIsUsedAsItIs)
{
    const CursorImage stored = patternImage(32, 3, 4);
    auto sized = cursorAtSizes(staticCursor({stored}), {32});
    ASSERT_TRUE(sized);
    const SizedCursorImage& image = sized->frames[0][0];
    EXPECT_EQ(image.pixels, stored.pixels);
    EXPECT_EQ(image.hotspotX, 3);
    EXPECT_EQ(image.hotspotY, 4);
    EXPECT_FALSE(image.made);
}

struct MadeSizeCase {
    int size;
    int sourceSide; // the stored image it must be made from
};

class CursorMadeSize : public testing::TestWithParam<MadeSizeCase> {};

TEST_P(CursorMadeSize, IsMadeFromTheNearestLargerStoredImageElseTheLargest)
{
    const MadeSizeCase c = GetParam();
    const Cursor cursor =
        staticCursor({patternImage(16, 0, 0, 1), patternImage(32, 0, 0, 2), patternImage(64, 0, 0, 3)});
    auto sized = cursorAtSizes(cursor, {c.size});
    ASSERT_TRUE(sized);
    const CursorImage& source = *std::ranges::find_if(
        cursor.frames[0].images, [&](const CursorImage& image) { return image.width == c.sourceSide; });
    EXPECT_EQ(sized->frames[0][0].pixels, resampleImage(source.pixels, c.size, c.size));
    EXPECT_TRUE(sized->frames[0][0].made);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CursorMadeSize,
                         testing::Values(MadeSizeCase{24, 32}, MadeSizeCase{48, 64}, MadeSizeCase{12, 16},
                                         MadeSizeCase{96, 64}, MadeSizeCase{33, 64}));

struct HotspotCase {
    int storedX, storedY;
    int size;
    int madeX, madeY;
};

class CursorMadeHotspot : public testing::TestWithParam<HotspotCase> {};

TEST_P(CursorMadeHotspot, IsScaledRoundedAndKeptInside)
{
    const HotspotCase c = GetParam();
    auto sized = cursorAtSizes(staticCursor({patternImage(32, c.storedX, c.storedY)}), {c.size});
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->frames[0][0].hotspotX, c.madeX);
    EXPECT_EQ(sized->frames[0][0].hotspotY, c.madeY);
}

INSTANTIATE_TEST_SUITE_P(Hotspots, CursorMadeHotspot,
                         testing::Values(HotspotCase{0, 0, 24, 0, 0}, HotspotCase{16, 16, 24, 12, 12},
                                         HotspotCase{16, 16, 48, 24, 24}, HotspotCase{31, 31, 24, 23, 23},
                                         HotspotCase{31, 31, 48, 47, 47}, HotspotCase{31, 31, 64, 62, 62},
                                         HotspotCase{5, 3, 24, 4, 2}, HotspotCase{3, 5, 48, 5, 8}));

TEST(CursorSizes, HotspotStoredOutsideTheImageIsKeptInside)
{
    CursorImage image = patternImage(32, 0, 0);
    image.hotspotX = 40;
    image.hotspotY = -3;
    auto sized = cursorAtSizes(staticCursor({image}), {32, 24});
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->frames[0][1].hotspotX, 31);
    EXPECT_EQ(sized->frames[0][1].hotspotY, 0);
    EXPECT_EQ(sized->frames[0][0].hotspotX, 23);
    EXPECT_EQ(sized->frames[0][0].hotspotY, 0);
}

TEST(CursorSizes, OfSeveralImagesOfOneSizeTheOneOfMostColoursIsUsed)
{
    const CursorImage few = test::cursorImageOf(test::patternRecipe(32, 1, 24), 1, 1);
    const CursorImage most = patternImage(32, 2, 2, 9);
    auto sized = cursorAtSizes(staticCursor({few, most}), {32});
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->frames[0][0].pixels, most.pixels);
    EXPECT_EQ(sized->frames[0][0].hotspotX, 2);
}

TEST(CursorSizes, EveryFrameHasEverySizeAnyFrameStores)
{
    const Cursor cursor = animatedCursor(
        {CursorFrame{{patternImage(32, 1, 1)}}, CursorFrame{{patternImage(48, 2, 2)}}}, {0, 1}, {100, 100});
    auto sized = cursorAtSizes(cursor);
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->sizes, (std::vector<int>{24, 32, 48}));
    ASSERT_EQ(sized->frames.size(), 2u);
    EXPECT_FALSE(sized->frames[0][1].made);
    EXPECT_TRUE(sized->frames[0][2].made);
    EXPECT_TRUE(sized->frames[1][1].made);
    EXPECT_FALSE(sized->frames[1][2].made);
}

TEST(CursorSizes, StoredImageLargerThanAnyCursorSizeOnlyServesAsSource)
{
    auto sized = cursorAtSizes(staticCursor({patternImage(300, 10, 10)}));
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->sizes, (std::vector<int>{24, 32, 48}));
}

TEST(CursorSizes, SizesAskedForAreSortedAndTakenOnce)
{
    auto sized = cursorAtSizes(staticCursor({patternImage(32, 0, 0)}), {48, 24, 48, 32});
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->sizes, (std::vector<int>{24, 32, 48}));
}

struct RefusedCase {
    const char* name;
    Cursor cursor;
    std::vector<int> sizes;
    CursorWriteError error;
};

TEST(CursorSizes, WhatCannotBeSizedIsRefusedWithItsReason)
{
    const RefusedCase cases[] = {
        {"no frames", Cursor{}, {}, CursorWriteError::NoImage},
        {"a frame without images",
         animatedCursor({CursorFrame{{patternImage(32, 0, 0)}}, CursorFrame{}}, {0, 1}, {50, 50}),
         {},
         CursorWriteError::NoImage},
        {"size 0", staticCursor({patternImage(32, 0, 0)}), {0}, CursorWriteError::BadSize},
        {"size past 256", staticCursor({patternImage(32, 0, 0)}), {257}, CursorWriteError::BadSize},
        {"a step past the frames",
         animatedCursor({CursorFrame{{patternImage(32, 0, 0)}}}, {0, 1}, {50, 50}),
         {},
         CursorWriteError::BadSequence},
        {"more steps than delays",
         animatedCursor({CursorFrame{{patternImage(32, 0, 0)}}}, {0, 0}, {50}),
         {},
         CursorWriteError::BadSequence},
    };
    for (const RefusedCase& c : cases) {
        auto sized = cursorAtSizes(c.cursor, c.sizes);
        ASSERT_FALSE(sized) << c.name;
        EXPECT_EQ(sized.error(), c.error) << c.name;
    }
}

TEST(CursorSizes, CursorWithoutStepsShowsEachFrameOnce)
{
    Cursor cursor;
    cursor.frames = {CursorFrame{{patternImage(32, 0, 0)}}, CursorFrame{{patternImage(32, 0, 0, 5)}}};
    auto sized = cursorAtSizes(cursor, {32});
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->steps, (std::vector<int>{0, 1}));
    EXPECT_EQ(sized->delaysMs, (std::vector<int>{0, 0}));
}

} // namespace
} // namespace gb
