#include "core/icons/resample.h"

#include "support/printers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

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

// Whole-factor shrinking (256 to 128, 48 to 16, 2:1 one way only) takes the
// exact alpha-weighted mean of each block, rounded half up; transparent
// pixels lend no colour.
TEST(Resample, WholeFactorShrinkIsTheExactBlockMean)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> level(0, 255);
    const auto randomImage = [&](int w, int h) {
        RgbaImage image(w, h);
        for (Rgba& p : image.pixels()) {
            const int a = level(random) < 64 ? 0 : level(random);
            p = a == 0
                    ? Rgba{}
                    : Rgba{static_cast<std::uint8_t>(level(random)), static_cast<std::uint8_t>(level(random)),
                           static_cast<std::uint8_t>(level(random)), static_cast<std::uint8_t>(a)};
        }
        return image;
    };
    struct Case {
        int fromW, fromH, toW, toH;
    };
    for (const Case c :
         {Case{256, 256, 128, 128}, Case{48, 48, 16, 16}, Case{64, 32, 32, 32}, Case{9, 9, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << c.fromW << "x" << c.fromH << " to " << c.toW << "x" << c.toH);
        const RgbaImage image = randomImage(c.fromW, c.fromH);
        const RgbaImage out = resampleImage(image, c.toW, c.toH);
        const int kx = c.fromW / c.toW, ky = c.fromH / c.toH;
        for (int y = 0; y < c.toH; ++y)
            for (int x = 0; x < c.toW; ++x) {
                double r = 0, g = 0, b = 0, a = 0;
                for (int sy = y * ky; sy < (y + 1) * ky; ++sy)
                    for (int sx = x * kx; sx < (x + 1) * kx; ++sx) {
                        const Rgba p = image.at(sx, sy);
                        r += p.r * p.a, g += p.g * p.a, b += p.b * p.a, a += p.a;
                    }
                const auto alpha = static_cast<int>(std::floor(a / (kx * ky) + 0.5));
                const Rgba want = alpha == 0 ? Rgba{}
                                             : Rgba{static_cast<std::uint8_t>(std::floor(r / a + 0.5)),
                                                    static_cast<std::uint8_t>(std::floor(g / a + 0.5)),
                                                    static_cast<std::uint8_t>(std::floor(b / a + 0.5)),
                                                    static_cast<std::uint8_t>(alpha)};
                ASSERT_EQ(out.at(x, y), want) << "at " << x << "," << y;
            }
    }
}

TEST(Resample, SameSizeIsACopy)
{
    RgbaImage image(16, 16);
    image.at(3, 4) = Rgba{1, 2, 3, 4};
    EXPECT_EQ(resampleImage(image, 16, 16), image);
}

} // namespace
} // namespace gb
