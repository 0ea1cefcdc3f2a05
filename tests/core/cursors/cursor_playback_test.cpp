// What the details window's preview shows of a cursor at each step: the
// frame, the image answering the one chosen, its hot spot and the delay.

#include "core/cursors/cursor_playback.h"

#include "support/cursor_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace gb;
using gb::test::animatedCursor;
using gb::test::patternImage;
using gb::test::staticCursor;

namespace {

// Three frames: the first holds 32 and 16 pixels, the second only 32, the
// third 48 and 24; each image has a hot spot of its own.
Cursor spinner()
{
    return animatedCursor({CursorFrame{{patternImage(32, 3, 4, 1), patternImage(16, 1, 2, 2)}},
                           CursorFrame{{patternImage(32, 10, 12, 3)}},
                           CursorFrame{{patternImage(48, 40, 41, 4), patternImage(24, 20, 21, 5)}}},
                          {0, 1, 0, 2}, {17, 33, 0, 167});
}

struct StepCase {
    std::string name;
    int step;
    WantedCursorImage wanted;
    CursorStepView expected;
};

class CursorStepViewTest : public testing::TestWithParam<StepCase> {};

TEST_P(CursorStepViewTest, ShowsTheFrameOfTheStepAndTheImageAnsweringTheOneChosen)
{
    const StepCase& c = GetParam();
    const auto view = cursorStepView(spinner(), c.step, c.wanted);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->step, c.expected.step);
    EXPECT_EQ(view->frame, c.expected.frame);
    EXPECT_EQ(view->image, c.expected.image);
    EXPECT_EQ(view->hotspotX, c.expected.hotspotX);
    EXPECT_EQ(view->hotspotY, c.expected.hotspotY);
    EXPECT_EQ(view->delayMs, c.expected.delayMs);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CursorStepViewTest,
    testing::Values(StepCase{"FirstStepLarge", 0, {32, 32, 32}, {0, 0, 0, 3, 4, 17}},
                    StepCase{"FirstStepSmall", 0, {16, 16, 32}, {0, 0, 1, 1, 2, 17}},
                    StepCase{"SecondStepOtherFrame", 1, {32, 32, 32}, {1, 1, 0, 10, 12, 33}},
                    // The second frame has no 16: its nearest size stands in.
                    StepCase{"MissingSizeTakesTheNearest", 1, {16, 16, 32}, {1, 1, 0, 10, 12, 33}},
                    // A frame shown again at a later step; its rate of 0 lasts one jiffy.
                    StepCase{"RepeatedFrameZeroRate", 2, {16, 16, 32}, {2, 0, 1, 1, 2, kShortestStepMs}},
                    StepCase{"NearestOfTwoOtherSizes", 3, {32, 32, 32}, {3, 2, 1, 20, 21, 167}},
                    // Counting on past the last step starts the animation again.
                    StepCase{"StepsWrapAround", 5, {32, 32, 32}, {1, 1, 0, 10, 12, 33}}),
    [](const testing::TestParamInfo<StepCase>& param) { return param.param.name; });

TEST(CursorPlayback, TheSameSizeOfAnotherDepthIsTakenWhenTheDepthIsMissing)
{
    const auto view = cursorStepView(spinner(), 0, {16, 16, 4});
    ASSERT_TRUE(view);
    EXPECT_EQ(view->image, 1);
}

TEST(CursorPlayback, AStaticCursorIsOneStepThatStays)
{
    const Cursor cursor = staticCursor({patternImage(32, 5, 7), patternImage(16, 2, 3)});
    EXPECT_FALSE(cursorPlays(cursor));
    EXPECT_EQ(nextCursorStep(cursor, 0), 0);
    const auto view = cursorStepView(cursor, 0, {16, 16, 32});
    ASSERT_TRUE(view);
    EXPECT_EQ(view->image, 1);
    EXPECT_EQ(view->hotspotX, 2);
    EXPECT_EQ(view->hotspotY, 3);
    EXPECT_EQ(view->delayMs, 0);
}

TEST(CursorPlayback, AnAnimationLoopsBackToItsFirstStep)
{
    const Cursor cursor = spinner();
    EXPECT_TRUE(cursorPlays(cursor));
    std::vector<int> steps{0};
    for (int i = 0; i < 5; ++i)
        steps.push_back(nextCursorStep(cursor, steps.back()));
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 0, 1}));
}

TEST(CursorPlayback, NothingIsShownOfAFrameWithoutImagesOrAStepPastTheFrames)
{
    EXPECT_FALSE(cursorStepView(animatedCursor({CursorFrame{}}, {0, 0}, {10, 10}), 0, {32, 32, 32}));
    EXPECT_FALSE(cursorStepView(animatedCursor({CursorFrame{{patternImage(32, 0, 0)}}}, {0, 3}, {10, 10}), 1,
                                {32, 32, 32}));
    EXPECT_FALSE(cursorStepView(Cursor{}, 0, {32, 32, 32}));
}

struct ScaleCase {
    int width, height, side, scale;
};

TEST(CursorPlayback, PreviewEnlargesByAWholeFactorThatFits)
{
    for (const ScaleCase& c :
         {ScaleCase{32, 32, 256, 8}, ScaleCase{48, 48, 256, 5}, ScaleCase{16, 16, 256, 8},
          ScaleCase{256, 256, 256, 1}, ScaleCase{64, 32, 256, 4}, ScaleCase{300, 300, 256, 1},
          ScaleCase{0, 0, 256, 1}})
        EXPECT_EQ(cursorPreviewScale(c.width, c.height, c.side), c.scale) << c.width << "x" << c.height;
}

TEST(CursorPlayback, TheMarkStandsAtTheCentreOfTheEnlargedHotSpotPixel)
{
    CursorStepView view;
    view.hotspotX = 3;
    view.hotspotY = 0;
    EXPECT_EQ(hotspotMarkAt(view, 8).x, 28);
    EXPECT_EQ(hotspotMarkAt(view, 8).y, 4);
    EXPECT_EQ(hotspotMarkAt(view, 1).x, 3);
    EXPECT_EQ(hotspotMarkAt(view, 1).y, 0);
}

} // namespace
