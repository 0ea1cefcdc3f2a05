// An icon's details read again from its origin, with the cursor of a cursor
// file besides, found by the file's content.

#include "core/sources/origin_details.h"

#include <gtest/gtest.h>

#include <string>

using namespace gb;

namespace {

const std::string kFixtures = GB_FIXTURE_DIR "/";

TEST(OriginDetailsWithCursor, AnAnimatedCursorFileGivesItsFramesStepsAndRates)
{
    const OriginDetails found =
        readOriginDetailsWithCursor(IconOrigin{kFixtures + "cursors/sequenced.ani", 0});
    ASSERT_TRUE(found.details);
    EXPECT_EQ(found.details->images.size(), 1u);
    ASSERT_TRUE(found.cursor);
    ASSERT_TRUE(*found.cursor);
    const Cursor& cursor = **found.cursor;
    EXPECT_EQ(cursor.kind, CursorKind::Animated);
    EXPECT_EQ(cursor.frames.size(), 2u);
    EXPECT_EQ(cursor.steps, (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(cursor.delaysMs, (std::vector<int>{17, 33, 50, 167}));
    EXPECT_EQ(cursor.frames[1].images.at(0).hotspotX, 10);
}

TEST(OriginDetailsWithCursor, ACursorFileGivesTheHotSpotOfEachImage)
{
    const OriginDetails found = readOriginDetailsWithCursor(IconOrigin{kFixtures + "cursors/arrow.cur", 0});
    ASSERT_TRUE(found.details);
    ASSERT_TRUE(found.cursor && *found.cursor);
    const CursorFrame& frame = (*found.cursor)->frames.at(0);
    ASSERT_EQ(frame.images.size(), 2u);
    EXPECT_EQ(frame.images[1].hotspotX, 0);
    EXPECT_EQ(frame.images[1].hotspotY, 1);
}

TEST(OriginDetailsWithCursor, AProgramOrAnIconFileHasNoCursorToShow)
{
    for (const char* file : {"icons32.exe", "mixed_depths.ico", "cursors32.exe"}) {
        const OriginDetails found = readOriginDetailsWithCursor(IconOrigin{kFixtures + file, 0});
        EXPECT_TRUE(found.details) << file;
        EXPECT_FALSE(found.cursor) << file;
    }
}

TEST(OriginDetailsWithCursor, AnAnimationNamingAMissingFrameIsShownAsItsFirstFrameWithTheReason)
{
    const OriginDetails found =
        readOriginDetailsWithCursor(IconOrigin{kFixtures + "cursors/sequence_past_frames.ani", 0});
    EXPECT_TRUE(found.details);
    ASSERT_TRUE(found.cursor);
    EXPECT_FALSE(*found.cursor);
}

} // namespace
