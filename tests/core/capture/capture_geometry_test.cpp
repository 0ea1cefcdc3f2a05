// The grabber's screen rectangles: the target cut back to the screen, and
// where the highlight frame goes around it.
#include "core/capture/capture_geometry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace gb::capture {

void PrintTo(const ScreenRect& r, std::ostream* out)
{
    *out << '(' << r.left << ',' << r.top << ")-(" << r.right << ',' << r.bottom << ')';
}

namespace {

constexpr ScreenSize kScreen{1024, 768};

template <typename Case> std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// ---- clamping ------------------------------------------------------------------

struct ClampCase {
    const char* name;
    ScreenRect target;
    ScreenRect expected;
};

class ClampToScreen : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampToScreen, CutsTheTargetBackToTheScreen)
{
    const ClampCase& c = GetParam();
    const ScreenRect clamped = clampToScreen(c.target, kScreen);
    EXPECT_EQ(clamped, c.expected);
    // Whatever lies off the screen is never grabbed.
    EXPECT_EQ(clamped.empty(), intersected(c.target, {0, 0, kScreen.width, kScreen.height}).empty());
}

constexpr ClampCase kClamps[] = {
    {"WindowInsideTheScreenKeepsItsRectangle", {100, 50, 300, 200}, {100, 50, 300, 200}},
    {"MaximisedWindowStartingAboveTheScreenIsGrabbedFromTheCorner", {-8, -8, 1032, 776}, {0, 0, 1024, 768}},
    {"EdgesBeyondTheScreenAreCutBack", {900, 700, 1200, 900}, {900, 700, 1024, 768}},
    // Left and top are raised to 0 but right stays: the width is negative.
    {"WindowWhollyLeftOfTheScreenComesOutEmpty", {-500, 10, -100, 200}, {0, 10, -100, 200}},
    {"WindowWhollyRightOfTheScreenComesOutEmpty", {1100, 10, 1300, 200}, {1100, 10, 1024, 200}},
    {"WindowWhollyAboveTheScreenComesOutEmpty", {10, -300, 200, -20}, {10, 0, 200, -20}},
    {"WindowWhollyBelowTheScreenComesOutEmpty", {10, 800, 200, 900}, {10, 800, 200, 768}},
};

INSTANTIATE_TEST_SUITE_P(Targets, ClampToScreen, ::testing::ValuesIn(kClamps), caseName<ClampCase>);

// ---- the frame -------------------------------------------------------------------

struct FrameCase {
    const char* name;
    ScreenRect target;
    std::vector<ScreenRect> bands; // top, bottom, left, right; empty ones left out
};

class FrameBands : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameBands, LieWhereTheScreenHasRoom)
{
    const FrameCase& c = GetParam();
    EXPECT_EQ(frameBands(c.target, kScreen), c.bands);
}

const FrameCase kFrames[] = {
    {"FrameLiesJustOutsideTheTarget",
     {100, 50, 300, 200},
     {{97, 47, 303, 50}, {97, 200, 303, 203}, {97, 50, 100, 200}, {300, 50, 303, 200}}},
    // A maximised window: no room outside on any side.
    {"FrameOfAMaximisedWindowGoesInside",
     {0, 0, 1024, 768},
     {{0, 0, 1024, 3}, {0, 765, 1024, 768}, {0, 3, 3, 765}, {1021, 3, 1024, 765}}},
    // Two pixels from the left edge is too little room: inside there only.
    {"FrameGoesInsideAtTheNearScreenEdgeOnly",
     {2, 50, 300, 200},
     {{2, 47, 303, 50}, {2, 200, 303, 203}, {2, 50, 5, 200}, {300, 50, 303, 200}}},
    {"FrameOfATinyTargetAtTheCornerLeavesOutEmptyBands", {0, 0, 2, 2}, {{0, 0, 5, 3}, {0, 3, 5, 5}}},
    {"TargetLeftOfTheScreenHasNoFrame", {0, 10, -100, 200}, {}},
    {"TargetRightOfTheScreenHasNoFrame", {1100, 10, 1200, 200}, {}},
    {"TargetWithoutWidthHasNoFrame", {5, 5, 5, 9}, {}},
};

INSTANTIATE_TEST_SUITE_P(Targets, FrameBands, ::testing::ValuesIn(kFrames), caseName<FrameCase>);

class FrameBandsNeverOverlap : public ::testing::TestWithParam<ScreenRect> {};

TEST_P(FrameBandsNeverOverlap, AndStayOnTheScreen)
{
    const auto bands = frameBands(GetParam(), kScreen);
    for (std::size_t i = 0; i < bands.size(); ++i) {
        EXPECT_FALSE(bands[i].empty());
        EXPECT_EQ(intersected(bands[i], {0, 0, kScreen.width, kScreen.height}), bands[i]);
        for (std::size_t j = i + 1; j < bands.size(); ++j)
            EXPECT_TRUE(intersected(bands[i], bands[j]).empty()) << "bands " << i << " and " << j;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FrameBandsNeverOverlap,
                         ::testing::Values(ScreenRect{100, 50, 300, 200}, ScreenRect{0, 0, 1024, 768},
                                           ScreenRect{0, 0, 1, 1}, ScreenRect{1, 1, 4, 4},
                                           ScreenRect{1020, 760, 1024, 768}, ScreenRect{3, 3, 9, 4},
                                           ScreenRect{500, 0, 501, 768}));

TEST(Intersected, RectanglesThatDoNotMeetGiveAllZero)
{
    EXPECT_EQ(intersected({0, 0, 10, 10}, {20, 20, 30, 30}), ScreenRect{});
    EXPECT_EQ(intersected({0, 0, 10, 10}, {5, 5, 30, 30}), (ScreenRect{5, 5, 10, 10}));
}

} // namespace
} // namespace gb::capture
