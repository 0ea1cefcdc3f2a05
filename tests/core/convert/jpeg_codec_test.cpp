// The JPEG decoder hands rows on as the file's data yields them, so a file
// whose header claims far more than its data holds fails at its first
// missing row, having cost no more than the rows it held.
#include "core/convert/conversions.h"
#include "core/convert/jpeg_codec.h"
#include "core/convert/jpeg_samples.h"

#include <gtest/gtest.h>

namespace gb::convert {
namespace {

using test::JpegKind;

struct Decoded {
    std::expected<void, CodecFailure> result;
    int rows = 0; // handed to the sink before the end
};

Decoded decodeCounting(std::span<const std::byte> jpeg, const JpegInfo& info)
{
    Decoded d;
    d.result =
        decodeJpeg(jpeg, info, info.gray ? PixelLayout::Gray : PixelLayout::Bgr, [&](const std::uint8_t*) {
            ++d.rows;
            return std::expected<void, CodecFailure>();
        });
    return d;
}

struct Kind {
    const char* name;
    JpegKind kind;
};

class JpegDecoder : public testing::TestWithParam<Kind> {};

TEST_P(JpegDecoder, HandsOnEveryRowOfAWholeFile)
{
    const auto jpeg = test::makeJpeg(GetParam().kind, 40, 35);
    const auto info = probeJpeg(jpeg);
    ASSERT_TRUE(info);
    const Decoded d = decodeCounting(jpeg, *info);
    EXPECT_TRUE(d.result) << d.result.error().reason;
    EXPECT_EQ(d.rows, 35);
}

// A few hundred bytes claiming 16384 x 16384: accepted by the pixel limit
// (2^28), refused as damaged before a single row exists. Such a file once
// made the converter clear 802 MB (1.85 GB for CMYK) before it said so.
TEST_P(JpegDecoder, HugeClaimOverFewBytesIsDamagedBeforeItsFirstRow)
{
    const auto small = test::makeJpeg(GetParam().kind, 16, 16);
    const auto bomb = test::withClaimedSize(small, 16384, 16384);
    ASSERT_TRUE(bomb);
    ASSERT_LT(bomb->size(), 1000u);
    const auto info = probeJpeg(*bomb);
    ASSERT_TRUE(info) << info.error().reason;
    EXPECT_EQ(info->width, 16384);

    const Decoded d = decodeCounting(*bomb, *info);
    ASSERT_FALSE(d.result);
    EXPECT_EQ(d.result.error().status, ConvertStatus::Damaged);
    EXPECT_EQ(d.rows, 0);
    // The conversions decode it the same way, so they refuse it alike.
    EXPECT_EQ(jpegBytesToBmp(*bomb).error().status, ConvertStatus::Damaged);
    EXPECT_EQ(jpegBytesToJpeg(*bomb, 75).error().status, ConvertStatus::Damaged);
}

INSTANTIATE_TEST_SUITE_P(Kinds, JpegDecoder,
                         testing::Values(Kind{"colour", JpegKind::Colour}, Kind{"gray", JpegKind::Gray},
                                         Kind{"cmyk", JpegKind::Cmyk},
                                         Kind{"progressive", JpegKind::Progressive}),
                         [](const auto& kind) { return std::string(kind.param.name); });

TEST(JpegDecoderStops, AtTheFirstRowItsSinkRefuses)
{
    const auto jpeg = test::makeJpeg(JpegKind::Colour, 40, 35);
    const auto info = probeJpeg(jpeg);
    ASSERT_TRUE(info);
    int rows = 0;
    const auto result = decodeJpeg(jpeg, *info, PixelLayout::Bgr, [&](const std::uint8_t*) {
        return ++rows < 3 ? std::expected<void, CodecFailure>()
                          : std::unexpected(CodecFailure{ConvertStatus::DestinationFull, "enough"});
    });
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().status, ConvertStatus::DestinationFull);
    EXPECT_EQ(rows, 3);
}

} // namespace
} // namespace gb::convert
