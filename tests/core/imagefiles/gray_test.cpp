#include "core/imagefiles/gray.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

struct GrayCase {
    std::uint8_t r, g, b, expected;
};

class GrayFormula : public ::testing::TestWithParam<GrayCase> {};

TEST_P(GrayFormula, TruncatesTheFixedPointLuma)
{
    const GrayCase c = GetParam();
    EXPECT_EQ(cltogry(c.r, c.g, c.b), c.expected);
}

INSTANTIATE_TEST_SUITE_P(KnownValues, GrayFormula,
                         ::testing::Values(GrayCase{255, 0, 0, 76}, GrayCase{0, 255, 0, 149},
                                           GrayCase{0, 0, 255, 29}, GrayCase{255, 255, 255, 255},
                                           GrayCase{0, 0, 0, 0}, GrayCase{192, 192, 192, 192},
                                           GrayCase{10, 20, 30, 18}));

TEST(GrayFormula, EveryGrayComesBackUnchanged)
{
    for (int v = 0; v < 256; ++v) {
        const auto u = static_cast<std::uint8_t>(v);
        ASSERT_EQ(cltogry(u, u, u), u);
    }
}

TEST(GrayImage, GraysColourAndKeepsAlpha)
{
    RgbaImage image(2, 1);
    image.at(0, 0) = Rgba{255, 0, 0, 255};
    image.at(1, 0) = Rgba{0, 0, 255, 40};
    const RgbaImage gray = grayImage(image);
    EXPECT_EQ(gray.at(0, 0), (Rgba{76, 76, 76, 255}));
    EXPECT_EQ(gray.at(1, 0), (Rgba{29, 29, 29, 40}));
}

TEST(GrayImage, OnTheButtonFaceTheBackgroundStays192AndNothingIsColoured)
{
    RgbaImage icon(4, 4);
    icon.at(1, 1) = Rgba{10, 200, 30, 255};
    const RgbaImage gray = grayOnButtonFace(icon);
    EXPECT_EQ(gray.at(0, 0), (Rgba{192, 192, 192, 255}));
    for (const Rgba& p : gray.pixels()) {
        EXPECT_EQ(p.r, p.g);
        EXPECT_EQ(p.g, p.b);
        EXPECT_EQ(p.a, 255);
    }
    EXPECT_EQ(gray.at(1, 1).r, cltogry(10, 200, 30));
}

} // namespace
} // namespace gb
