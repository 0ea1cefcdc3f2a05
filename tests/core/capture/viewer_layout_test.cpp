// The viewer's resize arithmetic, in twips: where the viewport and the bars
// go, when a bar shows, and what the classic 16-bit scroll bar refuses.
#include "core/capture/viewer_layout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace gb::capture {

void PrintTo(const TwipsBox& b, std::ostream* out)
{
    *out << '{' << b.left << ", " << b.top << ", " << b.width << ", " << b.height << '}';
}

namespace {

// The window's inside when it opens, in twips.
constexpr int kOpeningWidth = 9345;
constexpr int kOpeningHeight = 5895;

// A viewer whose window inside is `scaleWidth` × `scaleHeight` twips and
// whose picture is `pictureWidth` × `pictureHeight` twips.
ViewerLayout fitted(int scaleWidth, int scaleHeight, int pictureWidth, int pictureHeight)
{
    ViewerLayout layout;
    layout.picBmp.width = pictureWidth;
    layout.picBmp.height = pictureHeight;
    fitViewer(layout, scaleWidth, scaleHeight);
    return layout;
}

// ---- when a bar shows ---------------------------------------------------------------

struct BarCase {
    const char* name;
    int pictureWidth;
    int pictureHeight;
    bool across; // the horizontal bar shows
    bool down;   // the vertical bar shows
};

class BarsAtTheOpeningSize : public ::testing::TestWithParam<BarCase> {};

// At the opening size the viewport's inside is 7500 × 5625 twips.
TEST_P(BarsAtTheOpeningSize, ShowOnlyWhereThePictureDoesNotFit)
{
    const BarCase& c = GetParam();
    const ViewerLayout layout = fitted(kOpeningWidth, kOpeningHeight, c.pictureWidth, c.pictureHeight);
    EXPECT_EQ(layout.hScroll.visible, c.across);
    EXPECT_EQ(layout.vScroll.visible, c.down);
}

constexpr BarCase kBars[] = {
    {"OpeningPictureShowsNoBar", 3825, 2805, false, false},
    {"PictureExactlyAsWideAsTheViewportShowsTheBar", 7500, 1500, true, false},
    {"PictureOnePixelNarrowerHidesTheBar", 7485, 1500, false, false},
    // 45 twips narrower: its last columns sit under the viewport's border.
    {"PictureNarrowerByLessThanTheBordersShowsNoBar", 7455, 1500, false, false},
    {"PictureExactlyAsTallAsTheViewportShowsTheBar", 1500, 5625, false, true},
    {"PictureOnePixelShorterHidesTheBar", 1500, 5610, false, false},
    {"LargePictureShowsBothBars", 13500, 10500, true, true},
};

INSTANTIATE_TEST_SUITE_P(Pictures, BarsAtTheOpeningSize, ::testing::ValuesIn(kBars),
                         [](const ::testing::TestParamInfo<BarCase>& test) {
                             return std::string(test.param.name);
                         });

// ---- the arithmetic -------------------------------------------------------------------

TEST(ViewerLayout, OpeningSizeFitsTheViewportToTheWindow)
{
    ViewerLayout layout;
    fitViewer(layout, kOpeningWidth, kOpeningHeight);
    EXPECT_EQ(layout.picScroll, (TwipsBox{1590, 0, 7500, 5625}));
    EXPECT_FALSE(layout.hScroll.visible);
    EXPECT_FALSE(layout.vScroll.visible);
}

TEST(ViewerLayout, PictureExactlyAsWideAsTheViewportShowsTheBarWithMax60)
{
    const ViewerLayout layout = fitted(kOpeningWidth, kOpeningHeight, 7500, 1500);
    EXPECT_EQ(layout.hScroll.max, 60);
    EXPECT_EQ(layout.hScroll.value, 0);
    EXPECT_EQ(layout.hScroll.smallChange, 15);
}

TEST(ViewerLayout, BarsTakeTheirPlaceBesideTheViewport)
{
    const ViewerLayout layout = fitted(12000, 8000, 30000, 30000);
    EXPECT_EQ(layout.picScroll, (TwipsBox{1590, 0, 10155, 7730}));
    EXPECT_EQ(layout.hScroll.box, (TwipsBox{1575, 7730, 10155, 270}));
    EXPECT_EQ(layout.vScroll.box, (TwipsBox{11745, 0, 270, 7730}));
    EXPECT_EQ(layout.hScroll.max, 30000 - 10155 + 60);
    EXPECT_EQ(layout.vScroll.max, 30000 - 7730 + 60);
}

TEST(ViewerLayout, LargeChangeIsAThirdOfTheViewport)
{
    const ViewerLayout layout = fitted(12000, 8000, 30000, 30000);
    EXPECT_EQ(layout.hScroll.largeChange, 10155 / 3);
    EXPECT_EQ(layout.vScroll.largeChange, 7730 / 3);
    EXPECT_EQ(layout.vScroll.smallChange, 15);
}

TEST(ViewerLayout, ViewportOfTwoTwipsOrLessScrollsOnePixelAPage)
{
    const ViewerLayout layout = fitted(1847, 272, 3000, 3000);
    EXPECT_EQ(layout.picScroll.width, 2);
    EXPECT_EQ(layout.picScroll.height, 2);
    EXPECT_EQ(layout.hScroll.largeChange, 15);
    EXPECT_EQ(layout.vScroll.largeChange, 15);
    EXPECT_EQ(fitted(1848, kOpeningHeight, 3000, 3000).hScroll.largeChange, 1);
}

TEST(ViewerLayout, NegativeViewportSizeKeepsThePreviousSize)
{
    ViewerLayout layout = fitted(kOpeningWidth, kOpeningHeight, 3825, 2805);
    fitViewer(layout, 1000, 200);
    EXPECT_EQ(layout.picScroll.width, 7500);
    EXPECT_EQ(layout.picScroll.height, 5625);
    EXPECT_EQ(layout.hScroll.box.width, 7500);
    EXPECT_EQ(layout.vScroll.box.height, 5625);
}

TEST(ViewerLayout, MaxBeyondSixteenBitsKeepsThePreviousMaxAndTheRestRuns)
{
    ViewerLayout layout = fitted(kOpeningWidth, kOpeningHeight, 20000, 1500);
    EXPECT_EQ(layout.hScroll.max, 20000 - 7500 + 60);
    layout.hScroll.value = 900;
    layout.picBmp.left = -900;
    layout.picBmp.width = 7500 + 32767; // Max would be 32827
    fitViewer(layout, kOpeningWidth, kOpeningHeight);
    EXPECT_EQ(layout.hScroll.max, 20000 - 7500 + 60);
    EXPECT_TRUE(layout.hScroll.visible);
    EXPECT_EQ(layout.hScroll.value, 0);
    EXPECT_EQ(layout.picBmp.left, 0);
    EXPECT_EQ(layout.hScroll.largeChange, 2500);
    // A Max of exactly 32767 is still taken.
    EXPECT_EQ(fitted(kOpeningWidth, kOpeningHeight, 7500 + 32707, 1500).hScroll.max, 32767);
}

TEST(ViewerLayout, LargeChangeBeyondSixteenBitsKeepsThePreviousValue)
{
    ViewerLayout layout = fitted(kOpeningWidth, kOpeningHeight, 200000, 1500);
    EXPECT_EQ(layout.hScroll.largeChange, 2500);
    fitViewer(layout, 100200 + 1845, kOpeningHeight); // a third of 100200 is 33400
    EXPECT_EQ(layout.hScroll.largeChange, 2500);
}

TEST(ViewerLayout, HidingABarKeepsItsValueAndTheOffset)
{
    ViewerLayout layout = fitted(kOpeningWidth, kOpeningHeight, 12000, 9000);
    scrollHorizontally(layout, 600);
    scrollVertically(layout, 300);
    fitViewer(layout, 20000, 15000); // now the picture fits
    EXPECT_FALSE(layout.hScroll.visible);
    EXPECT_FALSE(layout.vScroll.visible);
    EXPECT_EQ(layout.hScroll.value, 600);
    EXPECT_EQ(layout.vScroll.value, 300);
    EXPECT_EQ(layout.picBmp.left, -600);
    EXPECT_EQ(layout.picBmp.top, -300);
}

TEST(ViewerLayout, ShowingABarPutsThePictureBackAtTheEdge)
{
    ViewerLayout layout = fitted(kOpeningWidth, kOpeningHeight, 12000, 9000);
    scrollHorizontally(layout, 600);
    scrollVertically(layout, 300);
    fitViewer(layout, 9000, 5000);
    EXPECT_EQ(layout.hScroll.value, 0);
    EXPECT_EQ(layout.vScroll.value, 0);
    EXPECT_EQ(layout.picBmp.left, 0);
    EXPECT_EQ(layout.picBmp.top, 0);
}

TEST(ViewerLayout, ScrollingShiftsThePicture)
{
    ViewerLayout layout = fitted(kOpeningWidth, kOpeningHeight, 12000, 9000);
    scrollHorizontally(layout, 4560);
    EXPECT_EQ(layout.picBmp.left, -4560);
    EXPECT_EQ(layout.picBmp.top, 0);
    scrollVertically(layout, 15);
    EXPECT_EQ(layout.picBmp.top, -15);
}

} // namespace
} // namespace gb::capture
