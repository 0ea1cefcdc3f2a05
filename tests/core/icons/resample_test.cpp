#include "core/icons/resample.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

RgbaImage solid(int w, int h, Rgba colour)
{
    RgbaImage image(w, h);
    for (Rgba& p : image.pixels())
        p = colour;
    return image;
}

struct SizeCase {
    int fromW, fromH, to;
};

class ResampleSolid : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ResampleSolid, KeepsASolidColourExactly)
{
    const SizeCase c = GetParam();
    const Rgba colour{37, 180, 220, 255};
    const RgbaImage out = resampleImage(solid(c.fromW, c.fromH, colour), c.to, c.to);
    ASSERT_EQ(out.width(), c.to);
    ASSERT_EQ(out.height(), c.to);
    for (const Rgba& p : out.pixels())
        ASSERT_EQ(p, colour);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResampleSolid,
                         ::testing::Values(SizeCase{256, 256, 32}, SizeCase{48, 48, 16}, SizeCase{20, 20, 32},
                                           SizeCase{16, 16, 32}, SizeCase{24, 16, 32}, SizeCase{48, 16, 32},
                                           SizeCase{1, 1, 16}));

TEST(Resample, HalvingAveragesEachTwoByTwoBlock)
{
    RgbaImage image(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.at(x, y) = (x + y) % 2 == 0 ? Rgba{0, 0, 0, 255} : Rgba{200, 100, 50, 255};
    const RgbaImage out = resampleImage(image, 2, 2);
    for (const Rgba& p : out.pixels())
        EXPECT_EQ(p, (Rgba{100, 50, 25, 255}));
}

TEST(Resample, TransparentNeighboursLendNoColour)
{
    // Half opaque red, half transparent black: the blended edge must stay red,
    // only less opaque, not darken towards black.
    RgbaImage image(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            image.at(x, y) = Rgba{255, 0, 0, 255};
    const RgbaImage out = resampleImage(image, 1, 1);
    EXPECT_EQ(out.at(0, 0), (Rgba{255, 0, 0, 128}));
}

TEST(Resample, SameSizeIsACopy)
{
    RgbaImage image(16, 16);
    image.at(3, 4) = Rgba{1, 2, 3, 4};
    EXPECT_EQ(resampleImage(image, 16, 16), image);
}

} // namespace
} // namespace gb
