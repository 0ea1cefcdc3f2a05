#include "core/cursors/cursor_drawing.h"
#include "support/dib_builder.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

constexpr Rgba kBlack{0, 0, 0, 255}, kWhite{255, 255, 255, 255}, kClear{};

// A 1-bit 8x8 I-beam style image: black where drawn, and one pixel at
// (4, 4) that Windows inverts (mask 1, colour white); (1, 1) is drawn black.
std::vector<std::byte> invertingDib()
{
    test::DibRecipe recipe;
    recipe.width = 8;
    recipe.height = 8;
    recipe.bitCount = 1;
    recipe.palette = {kBlack, kWhite};
    recipe.pixel = [](int x, int y) { return x == 4 && y == 4 ? 1u : 0u; };
    recipe.masked = [](int x, int y) { return !(x == 1 && y == 1); };
    return test::buildDib(recipe);
}

TEST(CursorDrawing, InvertedPixelsBecomeBlackWithAWhiteOutline)
{
    const auto dib = invertingDib();
    const auto image = drawCursorImage(ByteReader(dib));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(4, 4), kBlack);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0) {
                EXPECT_EQ(image->at(4 + dx, 4 + dy), kWhite) << dx << "," << dy;
            }
    EXPECT_EQ(image->at(1, 1), kBlack); // drawn, not inverted: no outline
    EXPECT_EQ(image->at(0, 0), kClear); // masked black, far from (4, 4)
}

TEST(CursorDrawing, MaskedBlackStaysTransparent)
{
    test::DibRecipe recipe;
    recipe.width = 4;
    recipe.height = 4;
    recipe.bitCount = 24;
    recipe.pixel = [](int, int) { return 0u; };
    recipe.masked = [](int, int) { return true; };
    const auto dib = test::buildDib(recipe);
    const auto image = drawCursorImage(ByteReader(dib));
    ASSERT_TRUE(image);
    for (const Rgba& p : image->pixels())
        EXPECT_EQ(p, kClear);
}

TEST(CursorDrawing, AlphaImagesAreDrawnByTheirAlphaAlone)
{
    test::DibRecipe recipe;
    recipe.width = 4;
    recipe.height = 4;
    recipe.bitCount = 32;
    recipe.pixel = [](int x, int) {
        return x == 0 ? test::argb(0, 255, 255, 255) : test::argb(128, 10, 20, 30);
    };
    recipe.masked = [](int, int) { return true; };
    const auto dib = test::buildDib(recipe);
    const auto image = drawCursorImage(ByteReader(dib));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), kClear);
    EXPECT_EQ(image->at(1, 0).a, 128);
}

} // namespace
} // namespace gb
