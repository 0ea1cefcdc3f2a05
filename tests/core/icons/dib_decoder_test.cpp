#include "core/icons/dib_decoder.h"
#include "support/dib_builder.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

using test::argb;
using test::buildDib;
using test::DibRecipe;

constexpr Rgba kBody{200, 40, 90, 255};
constexpr Rgba kNoise{10, 20, 30, 255};

// Top-left quadrant masked, with a non-black colour under the mask.
bool inHole(int x, int y)
{
    return x < 8 && y < 8;
}

struct DepthCase {
    int bitCount;
    std::uint32_t body;  // pixel value giving kBody (palette index or ARGB)
    std::uint32_t noise; // pixel value under the mask
};

class DibDepths : public ::testing::TestWithParam<DepthCase> {};

TEST_P(DibDepths, BodyIsOpaqueAndMaskedPixelsAreTransparentWhateverColourLiesUnder)
{
    const DepthCase c = GetParam();
    DibRecipe recipe;
    recipe.width = 16;
    recipe.height = 16;
    recipe.bitCount = c.bitCount;
    recipe.palette = {kNoise, kBody};
    recipe.pixel = [&](int x, int y) { return inHole(x, y) ? c.noise : c.body; };
    recipe.masked = inHole;
    const auto bytes = buildDib(recipe);

    auto image = decodeDib(test::readerOf(bytes));
    ASSERT_TRUE(image) << describe(image.error());
    ASSERT_EQ(image->width(), 16);
    ASSERT_EQ(image->height(), 16);
    EXPECT_EQ(image->at(12, 12), kBody);
    EXPECT_EQ(image->at(3, 3).a, 0);
    EXPECT_EQ(image->at(15, 0).a, 255); // top-right is outside the hole: rows are bottom-up in the file
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, DibDepths,
                         ::testing::Values(DepthCase{1, 1, 0}, DepthCase{4, 1, 0}, DepthCase{8, 1, 0},
                                           DepthCase{24, argb(0, 200, 40, 90), argb(0, 10, 20, 30)},
                                           DepthCase{32, argb(0, 200, 40, 90), argb(0, 10, 20, 30)}),
                         [](const auto& p) { return "Bits" + std::to_string(p.param.bitCount); });

TEST(DibDecoder, SixteenBitImagesAreFiveFiveFive)
{
    DibRecipe recipe;
    recipe.width = recipe.height = 8;
    recipe.bitCount = 16;
    recipe.pixel = [](int x, int) { return x < 4 ? 0x7c00u : 0x001fu; };
    const auto bytes = buildDib(recipe);
    auto image = decodeDib(test::readerOf(bytes));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(image->at(7, 0), (Rgba{0, 0, 255, 255}));
}

TEST(DibDecoder, ThirtyTwoBitAlphaWinsOverTheMask)
{
    DibRecipe recipe;
    recipe.width = recipe.height = 8;
    recipe.pixel = [](int x, int) { return x < 4 ? argb(128, 255, 0, 0) : argb(0, 0, 255, 0); };
    recipe.masked = [](int, int) { return true; }; // a mask that says "all transparent" is ignored
    const auto bytes = buildDib(recipe);
    auto image = decodeDib(test::readerOf(bytes));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), (Rgba{255, 0, 0, 128}));
    EXPECT_EQ(image->at(7, 7).a, 0);
}

TEST(DibDecoder, ThirtyTwoBitWithAllAlphaZeroUsesTheMask)
{
    DibRecipe recipe;
    recipe.width = recipe.height = 8;
    recipe.pixel = [](int, int) { return argb(0, 0, 128, 0); };
    recipe.masked = [](int x, int) { return x >= 4; };
    const auto bytes = buildDib(recipe);
    auto image = decodeDib(test::readerOf(bytes));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), (Rgba{0, 128, 0, 255}));
    EXPECT_EQ(image->at(5, 0).a, 0);
}

TEST(DibDecoder, MissingMaskLeavesTheImageOpaque)
{
    DibRecipe recipe;
    recipe.width = recipe.height = 8;
    recipe.bitCount = 24;
    recipe.pixel = [](int, int) { return argb(0, 1, 2, 3); };
    recipe.withMask = false;
    const auto bytes = buildDib(recipe);
    auto image = decodeDib(test::readerOf(bytes));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(4, 4), (Rgba{1, 2, 3, 255}));
}

TEST(DibDecoder, ProbeReadsSizeAndDepthFromTheImageHeader)
{
    DibRecipe recipe;
    recipe.width = 48;
    recipe.height = 48;
    recipe.bitCount = 8;
    recipe.pixel = [](int, int) { return 0u; };
    const auto bytes = buildDib(recipe);
    auto header = probeDib(test::readerOf(bytes));
    ASSERT_TRUE(header);
    EXPECT_EQ(*header, (ImageHeader{48, 48, 8, false}));
}

// Each malformed header is refused with its reason.
struct BadHeader {
    const char* name;
    std::size_t offset; // of the 32-bit field patched
    std::uint32_t value;
    ReadError expected;
};

class DibBadHeaders : public ::testing::TestWithParam<BadHeader> {};

TEST_P(DibBadHeaders, AreRefusedWithTheirReason)
{
    DibRecipe recipe;
    recipe.width = recipe.height = 16;
    recipe.pixel = [](int, int) { return 0u; };
    auto bytes = buildDib(recipe);
    const BadHeader c = GetParam();
    for (std::size_t i = 0; i < 4; ++i)
        bytes[c.offset + i] = static_cast<std::byte>(c.value >> (8 * i));
    auto image = decodeDib(test::readerOf(bytes));
    ASSERT_FALSE(image);
    EXPECT_EQ(image.error().reason, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Malformed, DibBadHeaders,
                         ::testing::Values(BadHeader{"HeaderSize", 0, 41, ReadError::BadMagic},
                                           BadHeader{"HugeWidth", 4, 60000, ReadError::TooLarge},
                                           BadHeader{"NegativeWidth", 4, 0xfffffff0u, ReadError::BadMagic},
                                           BadHeader{"ZeroHeight", 8, 0, ReadError::BadMagic},
                                           BadHeader{"NegativeHeight", 8, 0xffffffe0u, ReadError::BadMagic},
                                           BadHeader{"BitCount7", 12, 0x00070001u, ReadError::Unsupported},
                                           BadHeader{"RleCompression", 16, 1, ReadError::Unsupported},
                                           BadHeader{"TallerThanTheData", 8, 512, ReadError::Truncated}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(DibDecoder, HugeColourCountIsClampedToTheDepth)
{
    DibRecipe recipe;
    recipe.width = recipe.height = 8;
    recipe.bitCount = 4;
    recipe.palette = {Rgba{}, kBody};
    recipe.pixel = [](int, int) { return 1u; };
    auto bytes = buildDib(recipe);
    for (std::size_t i = 0; i < 4; ++i) // biClrUsed = 0xFFFFFFFF
        bytes[32 + i] = std::byte{0xff};
    auto image = decodeDib(test::readerOf(bytes));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), kBody);
}

} // namespace
} // namespace gb
