#include "core/icons/stored_images.h"

#include "core/icons/png_decoder.h"
#include "core/imagefiles/png_writer.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <spng.h>

namespace gb {
namespace {

std::optional<ImageHeader> dib(int side, int depth)
{
    return ImageHeader{side, side, depth, false};
}

std::optional<ImageHeader> png(int side)
{
    return ImageHeader{side, side, 32, true};
}

TEST(ThumbnailCandidates, SmallestAtLeastAsLargeFirstThenLargestSmaller)
{
    const std::vector<std::optional<ImageHeader>> headers = {
        dib(16, 8), png(256), dib(48, 32), std::nullopt, dib(32, 4), dib(32, 32), dib(128, 32)};
    EXPECT_EQ(thumbnailCandidates(headers, 64), (std::vector<std::size_t>{6, 1, 2, 5, 4, 0}));
    EXPECT_EQ(thumbnailCandidates(headers, 32), (std::vector<std::size_t>{5, 4, 2, 6, 1, 0}));
    EXPECT_EQ(thumbnailCandidates(headers, 512), (std::vector<std::size_t>{1, 6, 2, 5, 4, 0}));
}

TEST(ThumbnailCandidates, EqualImagesKeepGroupOrder)
{
    const std::vector<std::optional<ImageHeader>> headers = {dib(32, 32), dib(32, 32)};
    EXPECT_EQ(thumbnailCandidates(headers, 32), (std::vector<std::size_t>{0, 1}));
}

TEST(BestEntryPerSize, DeepestOfEachSizeInOrderOfFirstAppearance)
{
    const std::vector<std::optional<ImageHeader>> headers = {dib(32, 4),   dib(16, 8),  dib(32, 32),
                                                             std::nullopt, dib(32, 32), dib(16, 4)};
    EXPECT_EQ(bestEntryPerSize(headers), (std::vector<std::size_t>{2, 1}));
}

TEST(FitWithin, KeepsProportionsAndNeverEnlarges)
{
    EXPECT_EQ(fitWithin(RgbaImage(28, 36), 18).width(), 14);
    EXPECT_EQ(fitWithin(RgbaImage(28, 36), 18).height(), 18);
    EXPECT_EQ(fitWithin(RgbaImage(16, 16), 256).width(), 16);
}

RgbaImage noise(int width, int height)
{
    std::mt19937 random(static_cast<unsigned>(width * 1000 + height));
    std::uniform_int_distribution<int> level(0, 255);
    RgbaImage image(width, height);
    for (Rgba& p : image.pixels()) {
        const auto a = static_cast<std::uint8_t>(level(random) < 40 ? 0 : level(random));
        p = a == 0 ? Rgba{}
                   : Rgba{static_cast<std::uint8_t>(level(random)), static_cast<std::uint8_t>(level(random)),
                          static_cast<std::uint8_t>(level(random)), a};
    }
    return image;
}

// An Adam7-interlaced PNG, whose rows come pass by pass.
std::vector<std::byte> interlacedPng(const RgbaImage& image)
{
    const auto deleter = [](spng_ctx* c) { spng_ctx_free(c); };
    std::unique_ptr<spng_ctx, decltype(deleter)> ctx(spng_ctx_new(SPNG_CTX_ENCODER), deleter);
    spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(image.width());
    ihdr.height = static_cast<std::uint32_t>(image.height());
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    ihdr.interlace_method = SPNG_INTERLACE_ADAM7;
    spng_set_ihdr(ctx.get(), &ihdr);
    if (spng_encode_image(ctx.get(), image.pixels().data(), image.pixels().size() * sizeof(Rgba),
                          SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) != 0)
        return {};
    std::size_t length = 0;
    int error = 0;
    void* buffer = spng_get_png_buffer(ctx.get(), &length, &error);
    std::vector<std::byte> out(static_cast<std::byte*>(buffer), static_cast<std::byte*>(buffer) + length);
    std::free(buffer);
    return out;
}

// Decoding and fitting in one (large PNGs shrunk row by row as they are
// decoded) gives exactly what decoding the whole image and fitting it gives:
// whole factors one way or both, a size that is no whole factor, an image
// that already fits, and an interlaced PNG.
TEST(DecodeFittedWithin, SameAsDecodingTheWholeImageThenFitting)
{
    struct Case {
        int width, height, size;
        bool interlaced;
    };
    for (const Case c : {Case{256, 256, 128, false}, Case{256, 256, 32, false}, Case{256, 128, 64, false},
                         Case{256, 256, 100, false}, Case{48, 48, 64, false}, Case{256, 256, 128, true}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " within " << c.size
                                        << (c.interlaced ? ", interlaced" : ""));
        const RgbaImage image = noise(c.width, c.height);
        const auto png = c.interlaced ? interlacedPng(image) : *encodePng(image);
        ASSERT_FALSE(png.empty());
        const auto whole = decodePng(ByteReader(png));
        ASSERT_TRUE(whole);
        const auto fitted = decodeFittedWithin(ByteReader(png), c.size);
        ASSERT_TRUE(fitted);
        EXPECT_EQ(*fitted, fitWithin(*whole, c.size));
    }
}

// A PNG cut short, or damaged inside its image data, gives no image rather
// than the rows decoded so far.
TEST(DecodeFittedWithin, DamagedPngGivesNoImage)
{
    const auto png = *encodePng(noise(256, 256));
    const std::vector<std::byte> cut(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
    EXPECT_FALSE(decodeFittedWithin(ByteReader(cut), 128));
    auto damaged = png;
    damaged[png.size() / 2] ^= std::byte{0x55}; // the chunk's CRC no longer holds
    EXPECT_FALSE(decodeFittedWithin(ByteReader(damaged), 128));
}

} // namespace
} // namespace gb
