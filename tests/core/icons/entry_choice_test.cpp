#include "core/icons/entry_choice.h"

#include "support/printers.h"

#include <gtest/gtest.h>

#include <vector>

namespace gb {
namespace {

ImageHeader dib(int w, int h, int bits)
{
    return ImageHeader{w, h, bits, false};
}
ImageHeader png(int w, int h)
{
    return ImageHeader{w, h, 32, true};
}

struct ChoiceCase {
    const char* name;
    std::vector<std::optional<ImageHeader>> entries;
    int size;
    std::optional<std::size_t> expected;
};

class EntryChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(EntryChoice, FollowsTheWindowsRule)
{
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(chooseEntry(c.entries, c.size), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, EntryChoice,
    ::testing::Values(
        ChoiceCase{"ExactSizeBeatsDeeperOtherSizes", {dib(48, 48, 32), dib(32, 32, 4), png(256, 256)}, 32, 1},
        ChoiceCase{"DeepestAmongTheExactSize", {dib(32, 32, 4), dib(32, 32, 32), dib(32, 32, 8)}, 32, 1},
        ChoiceCase{"PngCountsAsThirtyTwoBits", {dib(32, 32, 24), png(32, 32)}, 32, 1},
        ChoiceCase{"FirstWinsAFullTie", {dib(32, 32, 8), dib(32, 32, 8)}, 32, 0},
        ChoiceCase{"NearestSizeWhenNoneIsExact", {dib(256, 256, 32), dib(48, 48, 8), dib(24, 24, 32)}, 16, 2},
        ChoiceCase{"EquallyNearTiesGoToTheLarger", {dib(24, 24, 32), dib(40, 40, 4)}, 32, 1},
        ChoiceCase{"NearnessBeforeDepth", {dib(48, 48, 32), dib(20, 20, 4)}, 16, 1},
        ChoiceCase{"NonSquareMeasuredBySumOfDifferences", {dib(32, 16, 32), dib(48, 48, 32)}, 32, 0},
        ChoiceCase{"MissingEntriesTakeNoPart", {std::nullopt, dib(48, 48, 8)}, 32, 1},
        ChoiceCase{"NothingDrawableChoosesNothing", {std::nullopt, std::nullopt}, 16, std::nullopt},
        ChoiceCase{"EmptyGroupChoosesNothing", {}, 32, std::nullopt}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace gb
