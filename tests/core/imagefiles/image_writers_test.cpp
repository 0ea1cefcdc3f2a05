#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"
#include "core/imagefiles/bmp_writer.h"
#include "core/imagefiles/ico_writer.h"
#include "core/imagefiles/png_writer.h"
#include "support/dib_builder.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

// An icon with every kind of pixel: opaque colour, the button face itself
// (which must stay opaque), half transparency, and full transparency.
RgbaImage sampleIcon(int side)
{
    RgbaImage image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            Rgba p{static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5), 99, 255};
            if (x < side / 4)
                p = Rgba{};
            else if (y < side / 4)
                p = kButtonFace;
            else if (y > side * 3 / 4)
                p.a = 100;
            image.at(x, y) = p;
        }
    return image;
}

class IcoRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(IcoRoundTrip, OurReaderGetsBackExactlyWhatWasWritten)
{
    const RgbaImage icon = sampleIcon(GetParam());
    const auto bytes = encodeIco(icon);
    auto group = IconSource::fromBytes(ByteReader(bytes)).group(0);
    ASSERT_TRUE(group);
    ASSERT_EQ(group->entries.size(), 1u);
    ASSERT_TRUE(group->entries[0].image);
    auto decoded = decodeIconImage(*group->entries[0].image);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, icon);
}

INSTANTIATE_TEST_SUITE_P(Sizes, IcoRoundTrip, ::testing::Values(32, 16, 48, 256));

TEST(IcoWriter, AndMaskFollowsTheAlpha)
{
    RgbaImage icon(32, 32);
    icon.at(0, 0) = kButtonFace; // top-left opaque: the mask bit of the top row is clear
    const auto bytes = encodeIco(icon);
    // The mask follows 40 + 32*32*4 bytes of image after the 22-byte header,
    // bottom-up: its last row is the top row of the icon.
    const std::size_t maskTopRow = 22 + 40 + 32 * 32 * 4 + 31 * 4;
    EXPECT_EQ(static_cast<unsigned>(bytes[maskTopRow]), 0x7fu);
    EXPECT_EQ(static_cast<unsigned>(bytes[maskTopRow - 4]), 0xffu);
}

TEST(IcoWriter, OriginalGroupKeepsEveryStoredImageByteForByte)
{
    test::DibRecipe recipe;
    recipe.width = recipe.height = 16;
    recipe.bitCount = 4;
    recipe.palette = {Rgba{}, Rgba{1, 2, 3, 255}};
    recipe.pixel = [](int, int) { return 1u; };
    const auto dib = test::buildDib(recipe);
    const auto png = encodePng(sampleIcon(256));
    ASSERT_TRUE(png);

    IconGroup group;
    group.entries.push_back(GroupEntry{16, 16, 4, 1, ByteReader(dib), 0});
    group.entries.push_back(GroupEntry{32, 32, 32, 2, std::nullopt, 0}); // missing: left out
    group.entries.push_back(GroupEntry{256, 256, 32, 3, ByteReader(*png), 0});
    auto bytes = encodeOriginalIco(group);
    ASSERT_TRUE(bytes);

    auto back = IconSource::fromBytes(ByteReader(*bytes)).group(0);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->entries.size(), 2u);
    EXPECT_TRUE(std::ranges::equal(back->entries[0].image->bytes(), std::span(dib)));
    EXPECT_TRUE(std::ranges::equal(back->entries[1].image->bytes(), std::span(*png)));
    EXPECT_EQ(back->entries[1].declaredWidth, 256); // stored as 0
    EXPECT_EQ(back->entries[0].declaredBitCount, 4);
}

TEST(IcoWriter, OriginalGroupWithNoImageIsAnError)
{
    IconGroup group;
    group.entries.push_back(GroupEntry{32, 32, 32, 2, std::nullopt, 0});
    EXPECT_FALSE(encodeOriginalIco(group));
}

TEST(BmpWriter, DrawsTheIconOnTheButtonFaceBottomUp)
{
    RgbaImage icon(3, 2); // odd width: rows are padded to four bytes
    icon.at(0, 0) = Rgba{255, 0, 0, 255};
    icon.at(2, 1) = Rgba{0, 0, 255, 255};
    const auto bytes = encodeIconBmp(icon);
    const std::size_t stride = 12;
    ASSERT_EQ(bytes.size(), 54 + stride * 2);
    EXPECT_EQ(static_cast<char>(bytes[0]), 'B');
    EXPECT_EQ(static_cast<unsigned>(bytes[28]), 24u); // bits per pixel
    const auto px = [&](std::size_t row, std::size_t x, std::size_t c) {
        return static_cast<unsigned>(bytes[54 + row * stride + x * 3 + c]);
    };
    // File row 0 is the bottom row of the image: blue at x = 2, BGR order.
    EXPECT_EQ(px(0, 2, 0), 255u);
    EXPECT_EQ(px(0, 2, 2), 0u);
    EXPECT_EQ(px(0, 0, 0), 192u); // transparent: the button face
    EXPECT_EQ(px(1, 0, 2), 255u); // top row: red at x = 0
}

TEST(BmpWriter, HalfTransparentPixelsBlendWithTheButtonFace)
{
    RgbaImage icon(1, 1);
    icon.at(0, 0) = Rgba{0, 0, 0, 128};
    EXPECT_EQ(composeOver(icon, kButtonFace).at(0, 0), (Rgba{96, 96, 96, 255}));
}

// Both encoders (the small files of the exports, the quick ones of the
// thumbnailer, which writes its chunks itself) give back every pixel, on a
// square icon and on a narrow image whose rows are not a round length.
TEST(PngWriter, WritesALosslessImageOurDecoderReadsBack)
{
    RgbaImage narrow(37, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x)
            narrow.at(x, y) = Rgba{static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 50), 7,
                                   static_cast<std::uint8_t>(255 - x)};
    for (const PngEffort effort : {PngEffort::Small, PngEffort::Quick})
        for (const RgbaImage& icon : {sampleIcon(32), sampleIcon(256), narrow}) {
            SCOPED_TRACE(testing::Message() << (effort == PngEffort::Quick ? "quick " : "small ")
                                            << icon.width() << "x" << icon.height());
            auto bytes = encodePng(icon, effort);
            ASSERT_TRUE(bytes);
            auto back = decodeIconImage(ByteReader(*bytes));
            ASSERT_TRUE(back);
            EXPECT_EQ(*back, icon);
        }
}

} // namespace
} // namespace gb
