// The icon reader against the generated fixtures: how many icons each file
// holds, which stored image is drawn at 32 and at 16, and that the drawing
// shows that image's body colour with its top-left quadrant clear.
// fixtures/fixture_facts.h describes the files and the pixel convention.

#include "core/icons/icon_source.h"
#include "fixtures/fixture_facts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace gbfix {
// Readable colours in failure messages.
void PrintTo(const Rgb& c, std::ostream* os)
{
    *os << "RGB(" << int{c.r} << "," << int{c.g} << "," << int{c.b} << ")";
}
void PrintTo(const FixtureFile& f, std::ostream* os)
{
    *os << f.name;
}
} // namespace gbfix

namespace gb {
namespace {

using gbfix::Img;

std::string fixturePath(std::string_view name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + std::string(name);
}

IconSource openFixture(std::string_view name)
{
    auto source = IconSource::open(fixturePath(name));
    if (!source)
        ADD_FAILURE() << name << ": " << describe(source.error());
    return source ? std::move(*source) : IconSource::fromBytes(ByteReader());
}

// Scaling and the widening of 5-bit channels may move a colour a little.
constexpr int kTolerance = 3;

testing::AssertionResult isBody(const RgbaImage& image, int x, int y, gbfix::Rgb body)
{
    const Rgba p = image.at(x, y);
    const bool close = std::abs(p.r - body.r) <= kTolerance && std::abs(p.g - body.g) <= kTolerance &&
                       std::abs(p.b - body.b) <= kTolerance && p.a == 255;
    if (close)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "pixel (" << x << "," << y << ") is " << int{p.r} << "," << int{p.g} << "," << int{p.b}
           << " alpha " << int{p.a} << ", expected body " << int{body.r} << "," << int{body.g} << ","
           << int{body.b} << " opaque";
}

// The probes of the pixel convention, for an image drawn at `size`.
void expectDrawing(const RgbaImage& image, int size, const Img& expected)
{
    ASSERT_EQ(image.width(), size);
    ASSERT_EQ(image.height(), size);
    if (expected.width == 0) {
        for (const Rgba& p : image.pixels())
            ASSERT_EQ(p.a, 0) << "a group with nothing drawable must stay transparent";
        return;
    }
    const int in = size * 3 / 4, corner = size / 8;
    EXPECT_TRUE(isBody(image, in, in, expected.body));
    EXPECT_TRUE(isBody(image, in, corner, expected.body)) << "top-right quadrant";
    EXPECT_TRUE(isBody(image, corner, in, expected.body)) << "bottom-left quadrant";
    EXPECT_EQ(image.at(corner, corner).a, 0) << "top-left quadrant must be transparent";
}

void expectIcon(const IconSource& source, int index, const gbfix::ExpectedIcon& expected)
{
    SCOPED_TRACE("icon " + std::to_string(index) + " (" + std::string(expected.group) + ")");
    auto icon = source.icon(index);
    ASSERT_TRUE(icon.has_value()) << describe(icon.error());
    EXPECT_EQ(icon->largeEntry.label(), gbfix::labelOf(expected.large));
    EXPECT_EQ(icon->smallEntry.label(), gbfix::labelOf(expected.small));
    expectDrawing(icon->large, kLargeIconSize, expected.large);
    expectDrawing(icon->small, kSmallIconSize, expected.small);
}

// ---------------------------------------------------------------------------
// Every fixture, table-driven from fixture_facts.h.

class FixtureFileTest : public testing::TestWithParam<gbfix::FixtureFile> {};

TEST_P(FixtureFileTest, CountsOneIconPerGroup)
{
    const IconSource source = openFixture(GetParam().name);
    EXPECT_EQ(source.count(), static_cast<int>(GetParam().icons.size()));
    EXPECT_FALSE(source.problem().has_value());
}

TEST_P(FixtureFileTest, DrawsTheExpectedEntryOfEachIconAtBothSizes)
{
    const IconSource source = openFixture(GetParam().name);
    ASSERT_EQ(source.count(), static_cast<int>(GetParam().icons.size()));
    for (std::size_t i = 0; i < GetParam().icons.size(); ++i)
        expectIcon(source, static_cast<int>(i), GetParam().icons[i]);
}

TEST_P(FixtureFileTest, ReadsTheSameFromMemoryAsFromDisk)
{
    std::ifstream in(fixturePath(GetParam().name), std::ios::binary);
    const std::vector<char> chars{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::byte> bytes(chars.size());
    std::transform(chars.begin(), chars.end(), bytes.begin(),
                   [](char c) { return static_cast<std::byte>(c); });
    const IconSource source = IconSource::fromBytes(ByteReader(bytes));
    ASSERT_EQ(source.count(), static_cast<int>(GetParam().icons.size()));
    for (std::size_t i = 0; i < GetParam().icons.size(); ++i)
        expectIcon(source, static_cast<int>(i), GetParam().icons[i]);
}

TEST_P(FixtureFileTest, RefusesAnIndexPastTheLastIcon)
{
    const IconSource source = openFixture(GetParam().name);
    const auto past = source.icon(source.count());
    ASSERT_FALSE(past.has_value());
    EXPECT_EQ(past.error().reason, ReadError::OutOfRange);
    EXPECT_FALSE(source.icon(-1).has_value());
}

std::string fixtureTestName(const testing::TestParamInfo<gbfix::FixtureFile>& info)
{
    std::string name;
    for (char c : info.param.name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureFileTest, testing::ValuesIn(gbfix::kFixtures), fixtureTestName);

// ---------------------------------------------------------------------------
// The rules behind the table, one statement each.

const gbfix::ExpectedIcon& expectedFor(std::string_view file)
{
    for (const gbfix::FixtureFile& f : gbfix::kFixtures)
        if (f.name == file)
            return f.icons.front();
    throw std::logic_error("no such fixture");
}

// The body colour an icon shows at 32, to tell groups apart by.
gbfix::Rgb largeBody(const IconSource& source, int index)
{
    auto icon = source.icon(index);
    if (!icon)
        return {};
    const Rgba p = icon->large.at(24, 24);
    return {p.r, p.g, p.b};
}

TEST(ExecutableCatalogue, NamedGroupsComeBeforeNumberedOnes)
{
    for (const char* file : {"icons32.exe", "icons64.dll"}) {
        SCOPED_TRACE(file);
        const IconSource source = openFixture(file);
        ASSERT_EQ(source.count(), 7);
        // catalogue.rc declares ZEBRA, 40, APPLE, 5, 2, 41, 3 in that order.
        EXPECT_EQ(largeBody(source, 0), gbfix::apple_32.body);
        EXPECT_EQ(largeBody(source, 1), gbfix::zebra_32.body);
        EXPECT_EQ(largeBody(source, 2), gbfix::bilevel_32.body); // 2
        EXPECT_EQ(largeBody(source, 3), gbfix::twin_32a.body);   // 3
        EXPECT_EQ(largeBody(source, 4), gbfix::five_32_24.body); // 5
    }
}

TEST(ExecutableCatalogue, AGroupInTwoLanguagesCountsOnceInTheFirst)
{
    const IconSource source = openFixture("odd32.exe");
    ASSERT_EQ(source.count(), 6);
    expectIcon(source, 4, gbfix::kOddities[4]); // 0x0407 sorts before 0x0409
}

TEST(GroupResolution, AMissingIconIdLeavesTheRestOfTheGroupUsable)
{
    const IconSource source = openFixture("odd64.dll");
    expectIcon(source, 0, gbfix::kOddities[0]);
}

TEST(GroupResolution, AnIconOnlyInAnotherLanguageStillServesTheGroup)
{
    const IconSource source = openFixture("odd64.dll");
    expectIcon(source, 1, gbfix::kOddities[1]);
}

TEST(GroupResolution, TheGroupsOwnLanguageWinsOverOneSortedEarlier)
{
    const IconSource source = openFixture("odd32.exe");
    expectIcon(source, 3, gbfix::kOddities[3]);
}

TEST(GroupResolution, AGroupWithNothingDrawableStillTakesItsPlace)
{
    const IconSource source = openFixture("odd32.exe");
    ASSERT_EQ(source.count(), 6);
    auto icon = source.icon(5);
    ASSERT_TRUE(icon.has_value());
    EXPECT_FALSE(icon->largeEntry.found);
    EXPECT_FALSE(icon->smallEntry.found);
    expectIcon(source, 5, gbfix::kOddities[5]);
}

TEST(ChosenEntry, TheImageHeaderOutranksTheGroupDirectory)
{
    expectIcon(openFixture("odd32.exe"), 2, gbfix::kOddities[2]);
    expectIcon(openFixture("lying_directory.ico"), 0, gbfix::kLyingExpected[0]);
}

TEST(ChosenEntry, TheDeepestImageOfTheChosenSizeWinsWhereverItStands)
{
    expectIcon(openFixture("mixed_depths.ico"), 0, gbfix::kMixedExpected[0]);
    expectIcon(openFixture("icons32.exe"), 4, gbfix::kCatalogue[4]);
}

TEST(ChosenEntry, TheFirstOfTwoEqualImagesWins)
{
    expectIcon(openFixture("icons64.dll"), 3, gbfix::kCatalogue[3]);
}

TEST(ChosenEntry, AnEquallyNearLargerImageBeatsTheSmallerOne)
{
    expectIcon(openFixture("tie_larger.ico"), 0, gbfix::kTieExpected[0]);
}

TEST(ChosenEntry, WithoutAnExactSizeTheNearestImageIsScaled)
{
    expectIcon(openFixture("icons32.exe"), 5, gbfix::kCatalogue[5]); // 48 only
    expectIcon(openFixture("odd_sizes.ico"), 0, gbfix::kOddSizesExpected[0]);
    expectIcon(openFixture("png_24x16.ico"), 0, gbfix::kWideExpected[0]);
}

TEST(ChosenEntry, APngImageCountsAsThirtyTwoBits)
{
    const IconSource source = openFixture("png_rgba.ico");
    auto icon = source.icon(0);
    ASSERT_TRUE(icon.has_value());
    EXPECT_TRUE(icon->largeEntry.header.png);
    EXPECT_EQ(icon->largeEntry.header.bitDepth, 32);
}

TEST(DibTransparency, TheAndMaskClearsPixelsWhateverColourLiesBeneath)
{
    // These hide RGB(10,20,30), or white for 1 bit, under the mask; the
    // 32-bit ones have alpha bytes all 0, so the mask rules there too.
    for (const char* file :
         {"depth1.ico", "depth4.ico", "depth8.ico", "depth16.ico", "depth24.ico", "depth32_mask.ico"}) {
        SCOPED_TRACE(file);
        expectIcon(openFixture(file), 0, expectedFor(file));
    }
}

TEST(DibTransparency, AlphaAloneClearsAThirtyTwoBitImage)
{
    // depth32.ico's AND masks are all 0.
    expectIcon(openFixture("depth32.ico"), 0, expectedFor("depth32.ico"));
}

TEST(AnimatedCursor, ShowsItsFirstFrame)
{
    const IconSource source = openFixture("spinner.ani");
    ASSERT_EQ(source.count(), 1);
    expectIcon(source, 0, gbfix::kAniExpected[0]);
}

TEST(NeExecutable, NumberedGroupStoredBeforeNamedOneStaysFirst)
{
    // icons16.exe's resource table holds 7, SUN, 1 in that order; 16-bit
    // files are enumerated in table order, named groups do not move ahead.
    const IconSource source = openFixture("icons16.exe");
    ASSERT_EQ(source.count(), 3);
    EXPECT_EQ(largeBody(source, 0), gbfix::ne5_seven_32.body);
    EXPECT_EQ(largeBody(source, 1), gbfix::ne1_sun_32.body);
    EXPECT_EQ(largeBody(source, 2), gbfix::ne3_one_32.body);
}

} // namespace
} // namespace gb
