// The drawings for screens of more than one device pixel to the pixel: the
// 64x64 drawing the extraction makes when asked, and which stored drawing a
// view of 16 or 32 pixels shows at each density.

#include "core/catalogue/catalogue_store.h"
#include "core/catalogue/file_icons.h"
#include "support/ico_images.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <optional>

namespace gb {
namespace {

using test::icoOfImages;
using test::solidImage;

constexpr Rgba kRed{220, 0, 0, 255}, kBlue{0, 0, 220, 255}, kGreen{0, 160, 0, 255};

struct DrawingCase {
    const char* name;
    std::vector<std::byte> ico;
    bool hiDpi;
    std::optional<Rgba> large2x; // the 64x64 drawing's colour, or none drawn
};

class DoubleDensityDrawing : public ::testing::TestWithParam<DrawingCase> {};

TEST_P(DoubleDensityDrawing, IsMadeWhenAskedAndFinerThanThe32x32One)
{
    const test::TempFolder temp;
    const auto icons = extractFileIcons(temp.write("icon.exe", GetParam().ico), {}, {GetParam().hiDpi});
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].large.width(), kLargeIconSize); // the 32x32 and 16x16 are as ever
    EXPECT_EQ(icons[0].small.width(), kSmallIconSize);
    ASSERT_EQ(icons[0].large2x.has_value(), GetParam().large2x.has_value());
    if (!GetParam().large2x)
        return;
    const RgbaImage& drawn = *icons[0].large2x;
    EXPECT_EQ(drawn.width(), kLargeIconSize2x);
    EXPECT_EQ(drawn.height(), kLargeIconSize2x);
    EXPECT_EQ(drawn.at(32, 32), *GetParam().large2x);
    EXPECT_EQ(icons[0].large2xHash, contentHash(drawn));
}

INSTANTIATE_TEST_SUITE_P(
    StoredSizes, DoubleDensityDrawing,
    ::testing::Values(
        DrawingCase{"Stored64", icoOfImages({solidImage(32, kRed), solidImage(64, kBlue)}), true, kBlue},
        DrawingCase{"NotAsked", icoOfImages({solidImage(32, kRed), solidImage(64, kBlue)}), false, {}},
        DrawingCase{"Only256", icoOfImages({solidImage(256, kBlue)}), true, kBlue},
        // Nearest to 64 by width and height is the 32: the 256 stays unused.
        DrawingCase{"32And256", icoOfImages({solidImage(256, kBlue), solidImage(32, kRed)}), true, {}},
        // The 48 serves 32 as well (a tie goes to the larger), and is finer.
        DrawingCase{"From48", icoOfImages({solidImage(16, kGreen), solidImage(48, kBlue)}), true, kBlue},
        // Nothing finer than 32: the screen enlarges the 32x32 drawing.
        DrawingCase{"Only32And16", icoOfImages({solidImage(32, kRed), solidImage(16, kGreen)}), true, {}}),
    [](const auto& tested) { return std::string(tested.param.name); });

struct ShownCase {
    int side;
    double ratio;
    bool with2x;
    int shownSide;
};

class ShownDrawing : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownDrawing, IsTheSmallestWithTheDevicePixelsElseTheLargest)
{
    CatalogueStore store;
    FoundIcon icon{IconOrigin{"/t/a.exe", 0}, solidImage(32, kRed), solidImage(16, kGreen), {}, {}, {}, {}};
    if (GetParam().with2x)
        icon.large2x = solidImage(64, kBlue);
    ASSERT_TRUE(store.add(std::move(icon)));
    const SharedImage& shown = drawingFor(store.image(0), GetParam().side, GetParam().ratio);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->width(), GetParam().shownSide);
}

INSTANTIATE_TEST_SUITE_P(Densities, ShownDrawing,
                         ::testing::Values(ShownCase{32, 1.0, true, 32}, ShownCase{16, 1.0, true, 16},
                                           ShownCase{32, 2.0, true, 64}, ShownCase{16, 2.0, true, 32},
                                           ShownCase{32, 1.25, true, 64}, ShownCase{16, 1.25, true, 32},
                                           ShownCase{32, 3.0, true, 64}, ShownCase{16, 3.0, true, 64},
                                           ShownCase{32, 2.0, false, 32}, ShownCase{16, 1.5, false, 32},
                                           ShownCase{32, 1.0001, true, 32}),
                         [](const auto& tested) {
                             const ShownCase& c = tested.param;
                             return "Side" + std::to_string(c.side) + "At" +
                                    std::to_string(static_cast<int>(c.ratio * 10000)) +
                                    (c.with2x ? "With64" : "Without64");
                         });

TEST(DoubleDensity, IsDrawnFromHalfAgainTheOrdinaryDensity)
{
    EXPECT_FALSE(drawsLarge2x(1.0));
    EXPECT_FALSE(drawsLarge2x(1.25));
    EXPECT_TRUE(drawsLarge2x(1.5));
    EXPECT_TRUE(drawsLarge2x(2.0));
}

TEST(DoubleDensity, EqualDrawingsAreStoredOnceAndAbsentOnesStayNull)
{
    CatalogueStore store;
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(store.add(FoundIcon{IconOrigin{"/t/a.exe", i},
                                        solidImage(32, kRed),
                                        solidImage(16, kGreen),
                                        {},
                                        {},
                                        solidImage(64, kBlue),
                                        {}}));
    ASSERT_TRUE(store.add({"/t/b.exe", 0}, solidImage(32, kRed), solidImage(16, kGreen)));
    EXPECT_EQ(store.image(0).large2x, store.image(1).large2x);
    EXPECT_EQ(*store.image(0).large2x, solidImage(64, kBlue));
    EXPECT_EQ(store.image(2).large2x, nullptr);
    EXPECT_EQ(store.distinctImages(), 3u); // red, green and blue
}

} // namespace
} // namespace gb
