// A BMP's resolution reaches the JPEG's JFIF header as cjpeg carries it:
// dots per cm, pixels per metre / 100 cut to 16 bits, when both fields are
// positive; otherwise no density (an aspect ratio of 1:1).
#include "core/convert/convert_test_support.h"
#include "libconvert/libconvert.h"

#include <gtest/gtest.h>

namespace gb::convert {

void PrintTo(const JfifDensity& density, std::ostream* out)
{
    *out << "unit " << int(density.unit) << ", " << density.x << " x " << density.y;
}

namespace {

using test::TempFolder;

struct DensityCase {
    const char* name;
    int headerSize;
    std::int32_t perMetreX, perMetreY;
    JfifDensity expected;
};

class JfifDensityTest : public ::testing::TestWithParam<DensityCase> {};

// APP0 right after SOI: FFD8 FFE0 len(2) "JFIF\0" version(2), then the unit
// and the two densities, big-endian.
JfifDensity densityIn(const std::vector<std::byte>& jpeg)
{
    const auto at = [&jpeg](std::size_t i) { return std::to_integer<std::uint8_t>(jpeg.at(i)); };
    return JfifDensity{at(13), static_cast<std::uint16_t>(at(14) << 8 | at(15)),
                       static_cast<std::uint16_t>(at(16) << 8 | at(17))};
}

TEST_P(JfifDensityTest, BmpToJpegKeepsTheResolutionAsCjpegDoes)
{
    const DensityCase& c = GetParam();
    TempFolder folder;
    test::BmpRecipe recipe = test::photoLike(19, 11);
    recipe.headerSize = c.headerSize;
    recipe.pixelsPerMetreX = c.perMetreX;
    recipe.pixelsPerMetreY = c.perMetreY;
    const std::string bmp = folder.write("in.bmp", test::buildBmp(recipe));
    const std::int32_t rate = 75;
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("ours.jpg").c_str(), &rate), CONVERT_OK);
    const auto ours = test::readBytes(folder.file("ours.jpg"));
    EXPECT_EQ(densityIn(ours), c.expected);

    // cjpeg (libjpeg-turbo 2.1) reads no BMP header but those of 12, 40 and 64 bytes.
    const std::string cjpeg = test::findTool({"cjpeg"});
    if (cjpeg.empty() || (c.headerSize != 12 && c.headerSize != 40))
        return;
    ASSERT_TRUE(test::run(test::quoted(cjpeg) + " -quality 75 -outfile " +
                          test::quoted(folder.file("theirs.jpg")) + " " + test::quoted(bmp)));
    EXPECT_EQ(ours, test::readBytes(folder.file("theirs.jpg")));
}

INSTANTIATE_TEST_SUITE_P(Resolutions, JfifDensityTest,
                         ::testing::Values(DensityCase{"none", 40, 0, 0, {0, 1, 1}},
                                           DensityCase{"seventyTwoDpi", 40, 2835, 2835, {2, 28, 28}},
                                           DensityCase{"unequal", 40, 3780, 2835, {2, 37, 28}},
                                           DensityCase{"oneFieldZero", 40, 2835, 0, {0, 1, 1}},
                                           DensityCase{"negative", 40, -2835, 2835, {0, 1, 1}},
                                           DensityCase{"belowOnePerCentimetre", 40, 99, 99, {2, 0, 0}},
                                           DensityCase{"cutTo16Bits", 40, 7000000, 3780, {2, 4464, 37}},
                                           DensityCase{"coreHeaderHasNone", 12, 0, 0, {0, 1, 1}},
                                           DensityCase{"v5Header", 124, 3780, 3780, {2, 37, 37}}),
                         [](const ::testing::TestParamInfo<DensityCase>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
} // namespace gb::convert
