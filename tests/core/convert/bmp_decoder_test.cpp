#include "core/convert/bmp_decoder.h"
#include "core/convert/convert_test_support.h"

#include <gtest/gtest.h>

namespace gb::convert {
namespace {

using test::BmpRecipe;
using test::Rgb;

std::unexpected<CodecFailure> failureOf(std::span<const std::byte> file, const CodecLimits& limits = {})
{
    auto decoded = decodeBmp(file, limits);
    EXPECT_FALSE(decoded.has_value());
    return std::unexpected(decoded ? CodecFailure{ConvertStatus::Ok, "decoded"} : decoded.error());
}

void expectDecodesAsRecipeSays(const BmpRecipe& recipe)
{
    const auto file = test::buildBmp(recipe);
    const auto image = test::decodeToRgb(file);
    ASSERT_TRUE(image.has_value()) << decodeBmp(file).error().reason;
    ASSERT_EQ(image->width, recipe.width);
    ASSERT_EQ(image->height, recipe.height);
    for (int y = 0; y < recipe.height; ++y)
        for (int x = 0; x < recipe.width; ++x)
            ASSERT_EQ(image->at(x, y), test::expectedColour(recipe, x, y)) << "at " << x << "," << y;
}

BmpRecipe paletted(int bits, int colours)
{
    BmpRecipe r;
    r.width = 21;
    r.height = 6;
    r.bitCount = bits;
    r.palette = test::colourPalette(colours);
    r.pixel = test::indexPattern(colours);
    return r;
}

TEST(BmpDecoder, PalettedBitmapsOfEveryDepthAreReadRight)
{
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        expectDecodesAsRecipeSays(paletted(bits, 1 << bits));
    }
}

TEST(BmpDecoder, Os2CoreHeaderWithThreeBytePaletteIsReadRight)
{
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        BmpRecipe r = bits == 24 ? BmpRecipe{} : paletted(bits, 1 << bits);
        r.headerSize = 12;
        expectDecodesAsRecipeSays(r);
    }
}

TEST(BmpDecoder, DirectColourDepthsAreReadRight)
{
    for (int bits : {16, 24, 32}) {
        SCOPED_TRACE(bits);
        BmpRecipe r;
        r.width = 13; // odd widths need row padding
        r.bitCount = bits;
        expectDecodesAsRecipeSays(r);
    }
}

TEST(BmpDecoder, TopDownBitmapsAreReadTopRowFirst)
{
    for (int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        BmpRecipe r = bits == 8 ? paletted(8, 256) : BmpRecipe{};
        r.bitCount = bits;
        r.topDown = true;
        expectDecodesAsRecipeSays(r);
    }
}

TEST(BmpDecoder, BitfieldMasksAreHonoured)
{
    struct Case {
        int bits;
        int headerSize;
        std::uint32_t compression;
        std::array<std::uint32_t, 4> masks;
    };
    const Case cases[] = {
        {16, 40, 3, {0xF800, 0x07E0, 0x001F, 0}},                       // 5-6-5 after the header
        {16, 40, 3, {0x7C00, 0x03E0, 0x001F, 0}},                       // 5-5-5 spelt out
        {16, 40, 6, {0x0F00, 0x00F0, 0x000F, 0xF000}},                  // 4-4-4-4 with alpha
        {32, 40, 3, {0x0000FF00, 0x00FF0000, 0xFF000000, 0}},           // reversed byte order
        {32, 52, 3, {0xFF0000, 0x00FF00, 0x0000FF, 0}},                 // V2 header
        {32, 56, 3, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000}},        // V3 header
        {16, 108, 3, {0xF800, 0x07E0, 0x001F, 0}},                      // V4 header
        {32, 124, 3, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}}, // V5, 10 bits a channel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, header " << c.headerSize << ", red mask "
                                        << std::hex << c.masks[0]);
        BmpRecipe r;
        r.bitCount = c.bits;
        r.headerSize = c.headerSize;
        r.compression = c.compression;
        r.masks = c.masks;
        expectDecodesAsRecipeSays(r);
    }
}

TEST(BmpDecoder, RunLengthEncodedBitmapsAreReadRight)
{
    BmpRecipe rle8 = paletted(8, 40);
    rle8.width = 300; // runs longer than 255 pixels
    rle8.pixel = [](int x, int y) { return static_cast<std::uint32_t>(x < 280 ? y % 40 : (x * 7) % 40); };
    rle8.compression = 1;
    expectDecodesAsRecipeSays(rle8);

    BmpRecipe rle8Mixed = paletted(8, 40);
    rle8Mixed.compression = 1;
    expectDecodesAsRecipeSays(rle8Mixed);

    BmpRecipe rle4 = paletted(4, 16);
    rle4.width = 25;
    rle4.compression = 2;
    expectDecodesAsRecipeSays(rle4);
}

// An RLE8 bitmap of 4 × 3 pixels with palette 0 black, 1 red, 2 green, 3 blue.
std::vector<std::byte> rle8File(std::initializer_list<int> stream)
{
    BmpRecipe r = paletted(8, 4);
    r.palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    r.width = 4;
    r.height = 3;
    r.compression = 1;
    auto file = test::buildBmp(r);
    const std::size_t pixels = 14 + 40 + 4 * 4;
    file.resize(pixels);
    for (int b : stream)
        file.push_back(static_cast<std::byte>(b));
    return file;
}

TEST(BmpDecoder, RleJumpsLeaveSkippedPixelsAtIndexZeroAndEndOfBitmapStops)
{
    // Bottom row: 2 red, then jump 1 right and 1 up; one green there; end.
    const auto file = rle8File({2, 1, 0, 2, 1, 1, 1, 2, 0, 1, 3, 3});
    const auto image = test::decodeToRgb(file);
    ASSERT_TRUE(image);
    const Rgb black{0, 0, 0}, red{255, 0, 0}, green{0, 255, 0};
    EXPECT_EQ(image->at(0, 2), red);
    EXPECT_EQ(image->at(1, 2), red);
    EXPECT_EQ(image->at(2, 2), black);
    EXPECT_EQ(image->at(3, 1), green); // x 2 + 1, one row up
    EXPECT_EQ(image->at(0, 0), black); // nothing after the end of bitmap
}

TEST(BmpDecoder, RleRunsPastTheRightEdgeAreCut)
{
    const auto file = rle8File({9, 3, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1});
    const auto image = test::decodeToRgb(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(3, 2), (Rgb{0, 0, 255}));
    EXPECT_EQ(image->at(0, 1), (Rgb{255, 0, 0})); // the literal run of the next row
    EXPECT_EQ(image->at(2, 1), (Rgb{0, 0, 255}));
}

TEST(BmpDecoder, RleWithoutEndOfBitmapIsAccepted)
{
    EXPECT_TRUE(decodeBmp(rle8File({4, 1, 0, 0, 4, 2})));
}

TEST(BmpDecoder, RleEndingInsideARunIsRefused)
{
    EXPECT_EQ(failureOf(rle8File({4, 1, 0, 5, 1, 2})).error().status,
              ConvertStatus::Damaged); // literal of 5, 2 there
    EXPECT_EQ(failureOf(rle8File({4, 1, 0, 2, 1})).error().status,
              ConvertStatus::Damaged);                                                // jump without its dy
    EXPECT_EQ(failureOf(rle8File({4, 1, 0})).error().status, ConvertStatus::Damaged); // half a pair
}

TEST(BmpDecoder, GrayPaletteGivesGrayRows)
{
    BmpRecipe r = paletted(8, 256);
    r.palette.clear();
    for (int i = 0; i < 256; ++i)
        r.palette.push_back(
            {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)});
    const auto decoded = decodeBmp(test::buildBmp(r));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->rows.layout, PixelLayout::Gray);
    expectDecodesAsRecipeSays(r);
}

TEST(BmpDecoder, ShortPaletteWithoutColourCountIsWhatLiesBeforeThePixels)
{
    BmpRecipe r = paletted(8, 5);
    r.writeColorsUsed = false; // 0: the reader may assume 256, but only 5 are there
    expectDecodesAsRecipeSays(r);
}

TEST(BmpDecoder, IndexBeyondThePaletteIsBlack)
{
    BmpRecipe r = paletted(8, 3);
    r.pixel = [](int x, int) { return static_cast<std::uint32_t>(x == 0 ? 200 : 1); };
    const auto image = test::decodeToRgb(test::buildBmp(r));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(image->at(1, 0), r.palette[1]);
}

TEST(BmpDecoder, TwentyFourBitRowsAreNotCopied)
{
    const auto file = test::buildBmp(BmpRecipe{});
    const auto decoded = decodeBmp(file);
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded->storage);
    EXPECT_EQ(decoded->rows.first, reinterpret_cast<const std::uint8_t*>(file.data() + 54));
    EXPECT_TRUE(decoded->rows.bottomUp);
}

TEST(BmpDecoder, LastRowWithoutItsPaddingIsAccepted)
{
    BmpRecipe r;
    r.width = 5; // 15 bytes a row, padded to 16
    auto file = test::buildBmp(r);
    file.pop_back();
    expectDecodesAsRecipeSays(r);
    EXPECT_TRUE(decodeBmp(file));
    file.pop_back();
    file.pop_back();
    EXPECT_EQ(failureOf(file).error().status, ConvertStatus::Damaged);
}

// --- Refused, each with its reason ---

std::vector<std::byte> with32(std::vector<std::byte> file, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::byte>(value >> (8 * i));
    return file;
}

std::vector<std::byte> with16(std::vector<std::byte> file, std::size_t at, std::uint16_t value)
{
    file[at] = static_cast<std::byte>(value);
    file[at + 1] = static_cast<std::byte>(value >> 8);
    return file;
}

TEST(BmpDecoder, MalformedFilesAreRefusedWithTheirReason)
{
    const auto good = test::buildBmp(BmpRecipe{});
    const auto rle = test::buildBmp(paletted(8, 4));
    struct Case {
        const char* what;
        std::vector<std::byte> file;
        ConvertStatus status;
    };
    std::vector<std::byte> png = good;
    png[0] = std::byte{0x89};
    std::vector<std::byte> truncatedHeader(good.begin(), good.begin() + 30);
    std::vector<std::byte> truncatedPixels(good.begin(), good.end() - 20);
    const Case cases[] = {
        {"empty file", {}, ConvertStatus::NotBmp},
        {"other signature", png, ConvertStatus::NotBmp},
        {"header cut short", truncatedHeader, ConvertStatus::Damaged},
        {"pixels cut short", truncatedPixels, ConvertStatus::Damaged},
        {"width 0", with32(good, 18, 0), ConvertStatus::Damaged},
        {"negative width", with32(good, 18, 0xFFFFFFF0u), ConvertStatus::Damaged},
        {"height 0", with32(good, 22, 0), ConvertStatus::Damaged},
        {"height -2^31", with32(good, 22, 0x80000000u), ConvertStatus::Damaged},
        {"2 bits per pixel", with16(good, 28, 2), ConvertStatus::Unsupported},
        {"64 bits per pixel", with16(good, 28, 64), ConvertStatus::Unsupported},
        {"embedded JPEG", with32(good, 30, 4), ConvertStatus::Unsupported},
        {"embedded PNG", with32(good, 30, 5), ConvertStatus::Unsupported},
        {"unknown compression", with32(good, 30, 99), ConvertStatus::Unsupported},
        {"RLE8 at 24 bits", with32(good, 30, 1), ConvertStatus::Damaged},
        {"RLE4 at 8 bits", with32(rle, 30, 2), ConvertStatus::Damaged},
        {"bit masks at 24 bits", with32(good, 30, 3), ConvertStatus::Unsupported},
        {"header of 20 bytes", with32(good, 14, 20), ConvertStatus::Unsupported},
        {"header larger than the file", with32(good, 14, 124), ConvertStatus::Damaged},
        {"pixels inside the headers", with32(good, 10, 20), ConvertStatus::Damaged},
        {"pixels past the end", with32(good, 10, 100000), ConvertStatus::Damaged},
        {"top-down RLE", with32(with32(rle, 30, 1), 22, static_cast<std::uint32_t>(-6)),
         ConvertStatus::Unsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto failure = failureOf(c.file);
        EXPECT_EQ(failure.error().status, c.status) << failure.error().reason;
        EXPECT_STRNE(failure.error().reason, "");
    }
}

TEST(BmpDecoder, MasksWithGapsOrWiderThanThePixelAreRefused)
{
    BmpRecipe r;
    r.bitCount = 16;
    r.compression = 3;
    r.masks = {0xF800, 0x07E0, 0x001F, 0};
    const auto file = test::buildBmp(r);
    EXPECT_EQ(failureOf(with32(file, 54, 0xF0F0)).error().status, ConvertStatus::Unsupported);
    EXPECT_EQ(failureOf(with32(file, 54, 0x1F0000)).error().status, ConvertStatus::Damaged);
}

TEST(BmpDecoder, HugeDimensionsAreRefusedBeforeAnythingIsAllocated)
{
    const auto good = test::buildBmp(BmpRecipe{});
    const auto huge = with32(with32(good, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF);
    EXPECT_EQ(failureOf(huge).error().status, ConvertStatus::TooLarge);
    CodecLimits small;
    small.maxPixels = 34;
    EXPECT_EQ(failureOf(good, small).error().status, ConvertStatus::TooLarge); // 7 × 5 = 35
}

TEST(BmpDecoder, RleBombIsBoundedByTheLimit)
{
    // A few bytes claiming 60000 × 60000 pixels: refused by the pixel limit.
    auto file = rle8File({0, 1});
    file = with32(with32(file, 18, 60000), 22, 60000);
    EXPECT_EQ(failureOf(file).error().status, ConvertStatus::TooLarge);
}

// --- ImageMagick as an independent reader of files it wrote itself ---

TEST(BmpDecoder, AgreesWithImageMagickOnTheFilesItWrites)
{
    const std::string magick = test::imageMagick();
    if (magick.empty())
        GTEST_SKIP() << "ImageMagick is not installed";
    test::TempFolder folder;
    // A picture with many colours, and one with few for the palettes.
    const std::string rich = folder.file("rich.ppm");
    const std::string few = folder.file("few.ppm");
    ASSERT_TRUE(
        test::run(test::quoted(magick) + " -size 45x31 -seed 7 plasma:fractal " + test::quoted(rich)));
    ASSERT_TRUE(test::run(test::quoted(magick) + " -size 45x31 gradient:red-blue " + test::quoted(few)));
    struct Case {
        const char* name;
        const std::string* input;
        const char* options;
        int tolerance = 0; // 5- and 6-bit channels: ImageMagick rounds a little differently
    };
    const Case cases[] = {
        {"bilevel.bmp", &rich, "-type bilevel BMP3:"},
        {"pal4.bmp", &few, "-colors 16 BMP3:"},
        {"pal8.bmp", &rich, "-colors 200 BMP3:"},
        {"rle8.bmp", &rich, "-colors 200 -compress RLE BMP3:"},
        {"gray8.bmp", &rich, "-colorspace gray -type grayscale BMP3:"},
        {"rgb24.bmp", &rich, "-type truecolor BMP3:"},
        {"v5_24.bmp", &rich, "-type truecolor BMP:"},
        {"rgb565.bmp", &rich, "-define bmp:subtype=RGB565 BMP:", 1},
        {"argb32.bmp", &rich, "-alpha set -channel A -evaluate set 60% +channel BMP:"},
        {"os2.bmp", &rich, "BMP2:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bmp = folder.file(c.name);
        ASSERT_TRUE(test::run(test::quoted(magick) + " " + test::quoted(*c.input) + " " + c.options +
                              test::quoted(bmp)));
        const auto ours = test::decodeToRgb(test::readBytes(bmp));
        ASSERT_TRUE(ours.has_value());
        const auto theirs = test::imageMagickRgb(magick, bmp, ours->width, ours->height);
        ASSERT_TRUE(theirs.has_value());
        EXPECT_LE(test::difference(*ours, *theirs).largest, c.tolerance);
    }
}

TEST(BmpDecoder, TinyRleClaimingAHugeImageIsRefusedBeforeAnyAllocation)
{
    // 74 bytes claiming 16384 x 16384: a gigabyte of work for nothing.
    const auto file = with32(with32(rle8File({0, 0, 0, 1}), 18, 16384), 22, 16384);
    EXPECT_EQ(failureOf(file).error().status, ConvertStatus::Damaged);
    // RLE4 the same.
    auto four = file;
    four[28] = std::byte{4};
    four[30] = std::byte{2};
    EXPECT_EQ(failureOf(four).error().status, ConvertStatus::Damaged);
}

TEST(BmpDecoder, RleEndingEarlyWithinWhatItsDataCanHoldStillDecodes)
{
    // 32 x 32 after one end of bitmap: 1,024 pixels for 2 bytes is still in bounds.
    auto file = with32(with32(rle8File({0, 1}), 18, 32), 22, 32);
    EXPECT_TRUE(decodeBmp(file));
}

} // namespace
} // namespace gb::convert
