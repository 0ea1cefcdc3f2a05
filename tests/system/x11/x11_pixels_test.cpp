// The screen's pixels as the X server sends them, decoded without a server.
#include "system/x11/x11_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gb::capture {
namespace {

RawPixels pixelsOf(ScreenRect area, int stride, std::vector<std::uint8_t> bytes)
{
    RawPixels p;
    p.area = area;
    p.stride = stride;
    p.bytes = std::move(bytes);
    return p;
}

PixelFormat sixteenBits()
{
    PixelFormat format;
    format.bitsPerPixel = 16;
    format.redMask = 0xf800;
    format.greenMask = 0x07e0;
    format.blueMask = 0x001f;
    return format;
}

TEST(X11Pixels, ThirtyTwoBitPixelsDecodeLeastSignificantFirst)
{
    const PixelFormat format; // 32 bits, least significant byte first, 8-8-8
    // Two pixels a row and a padding word; blue, green, red, unused.
    const RawPixels pixels =
        pixelsOf({10, 20, 12, 22}, 12, {0x01, 0x02, 0x03, 0x00, 0xff, 0x80, 0x00, 0xee, 0, 0, 0, 0, //
                                        0x00, 0x00, 0xff, 0x00, 0x10, 0x20, 0x30, 0x00, 0, 0, 0, 0});
    ASSERT_TRUE(isReadable(format));
    ASSERT_TRUE(isComplete(pixels, format));
    const RgbaImage image = decodePixels(pixels, format);
    ASSERT_EQ(image.width(), 2);
    ASSERT_EQ(image.height(), 2);
    EXPECT_TRUE(image.at(0, 0) == (Rgba{3, 2, 1, 255}));
    EXPECT_TRUE(image.at(1, 0) == (Rgba{0, 128, 255, 255}));
    EXPECT_TRUE(image.at(0, 1) == (Rgba{255, 0, 0, 255}));
    EXPECT_TRUE(image.at(1, 1) == (Rgba{0x30, 0x20, 0x10, 255}));
}

TEST(X11Pixels, ThirtyTwoBitPixelsDecodeMostSignificantFirst)
{
    PixelFormat format;
    format.mostSignificantFirst = true;
    const RawPixels pixels = pixelsOf({0, 0, 1, 1}, 4, {0x00, 0x11, 0x22, 0x33});
    EXPECT_TRUE(decodePixels(pixels, format).at(0, 0) == (Rgba{0x11, 0x22, 0x33, 255}));
}

TEST(X11Pixels, SixteenBitPixelsStretchToEightBitColours)
{
    // White, pure red and a middle green, least significant byte first.
    const RawPixels pixels = pixelsOf({0, 0, 3, 1}, 6, {0xff, 0xff, 0x00, 0xf8, 0x00, 0x04});
    const RgbaImage image = decodePixels(pixels, sixteenBits());
    EXPECT_TRUE(image.at(0, 0) == (Rgba{255, 255, 255, 255}));
    EXPECT_TRUE(image.at(1, 0) == (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(int(image.at(2, 0).g), (32 * 255 + 31) / 63);
}

TEST(X11Pixels, TwentyFourBitPixelsWithPaddedRowsDecode)
{
    PixelFormat format;
    format.bitsPerPixel = 24;
    const RawPixels pixels = pixelsOf({0, 0, 1, 2}, 4, {0x01, 0x02, 0x03, 0xaa, 0x04, 0x05, 0x06, 0xbb});
    const RgbaImage image = decodePixels(pixels, format);
    EXPECT_TRUE(image.at(0, 0) == (Rgba{3, 2, 1, 255}));
    EXPECT_TRUE(image.at(0, 1) == (Rgba{6, 5, 4, 255}));
}

struct FormatCase {
    const char* name;
    int bitsPerPixel;
    std::uint32_t red, green, blue;
    bool readable;
};

class PixelFormatReadable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PixelFormatReadable, OnlyTrueColourFormatsAreReadable)
{
    const FormatCase& c = GetParam();
    PixelFormat format;
    format.bitsPerPixel = c.bitsPerPixel;
    format.redMask = c.red;
    format.greenMask = c.green;
    format.blueMask = c.blue;
    EXPECT_EQ(isReadable(format), c.readable);
}

constexpr FormatCase kFormats[] = {
    {"ThirtyTwoBits", 32, 0xff0000, 0x00ff00, 0x0000ff, true},
    {"TwentyFourBits", 24, 0xff0000, 0x00ff00, 0x0000ff, true},
    {"SixteenBits", 16, 0xf800, 0x07e0, 0x001f, true},
    {"TenBitsAColour", 32, 0x3ff00000, 0x000ffc00, 0x000003ff, true},
    {"Palette", 8, 0xff0000, 0x00ff00, 0x0000ff, false},
    {"NoMasks", 32, 0, 0, 0, false},
    {"SplitMask", 32, 0xf00f00, 0x00ff00, 0x0000ff, false},
};

INSTANTIATE_TEST_SUITE_P(Formats, PixelFormatReadable, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<FormatCase>& test) {
                             return std::string(test.param.name);
                         });

TEST(X11Pixels, ShortPixelDataIsIncomplete)
{
    const PixelFormat format;
    EXPECT_FALSE(isComplete(pixelsOf({0, 0, 2, 2}, 8, std::vector<std::uint8_t>(15)), format));
    EXPECT_FALSE(isComplete(pixelsOf({0, 0, 2, 2}, 4, std::vector<std::uint8_t>(16)), format));
    EXPECT_FALSE(isComplete(pixelsOf({0, 0, 0, 2}, 8, std::vector<std::uint8_t>(16)), format));
    EXPECT_TRUE(isComplete(pixelsOf({0, 0, 2, 2}, 8, std::vector<std::uint8_t>(16)), format));
}

TEST(X11Pixels, OverlapIsCopiedWhereTheAreasMeet)
{
    const PixelFormat format = sixteenBits();
    // A 3×2 area at (10, 10) and a 2×2 one at (12, 11): they share (12, 11).
    RawPixels into = pixelsOf({10, 10, 13, 12}, 6, std::vector<std::uint8_t>(12, 0));
    const RawPixels from = pixelsOf({12, 11, 14, 13}, 4, {1, 2, 3, 4, 5, 6, 7, 8});
    copyOverlap(into, from, format);
    EXPECT_EQ(into.bytes, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
    // Areas that do not meet leave the pixels alone.
    RawPixels apart = pixelsOf({0, 0, 2, 2}, 4, std::vector<std::uint8_t>(8, 9));
    copyOverlap(apart, from, format);
    EXPECT_EQ(apart.bytes, std::vector<std::uint8_t>(8, 9));
}

TEST(X11Pixels, InvertingTurnsEveryColourOver)
{
    const PixelFormat format;
    const RawPixels pixels = pixelsOf({0, 0, 2, 1}, 8, {0x00, 0x00, 0x00, 0x00, 0x10, 0x80, 0xff, 0x00});
    const RgbaImage image = decodePixels(inverted(pixels), format);
    EXPECT_TRUE(image.at(0, 0) == (Rgba{255, 255, 255, 255}));
    EXPECT_TRUE(image.at(1, 0) == (Rgba{0x00, 0x7f, 0xef, 255}));
}

} // namespace
} // namespace gb::capture
